[Layout]
Version=1
Windows=0
ActiveProject=MainTask
