#pragma once

// Exit statuses of the command line, the same for every command: 0 success (with --plan: the
// build would change nothing), 1 failure (with check: an error found), 2 with --plan only:
// the build would change the project, 64 a usage error.
constexpr int kPlanChangesStatus = 2;
constexpr int kUsageStatus = 64;
