#include "app/app_state_win32.h"

Board AppBoard;

wchar_t WindowTitleBuffer[kWindowTitleCapacity];
wchar_t FilePathBuffer[kFilePathCapacity];
wchar_t FileTitleBuffer[kFileTitleCapacity];
std::string ProgramFolder;

WindowObjects AppWindows;
