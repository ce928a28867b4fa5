#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "tarvorun_output.h"

bool StandardOutputIsOpen() { return fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF; }
