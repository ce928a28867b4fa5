#include "app/app_state_win32.h"

Board AppBoard;

char WindowTitleBuffer[kWindowTitleCapacity];
char FilePathBuffer[kFilePathCapacity];
char FileTitleBuffer[kFileTitleCapacity];
char ProgramFolder[kDriveCapacity + kDirectoryCapacity];

WindowObjects AppWindows;
