#pragma once

class TCodeTab;
struct ProjectContext;

// Writes the result of one generation run into the project folder `state.ProjectName`:
// connects to the project database, opens (or creates) the project, removes what the
// template asks to remove, writes the function blocks the main program includes and the main
// program with their variables, the defines and the text files, saves and closes the
// project, then switches the project options on. True when every step ran to its end. A
// failure raised on the way closes the project unsaved and disconnects before it passes on.
bool UpdateStratonProject(ProjectContext &c, TCodeTab &GenTab, TCodeTab &MainTab);
