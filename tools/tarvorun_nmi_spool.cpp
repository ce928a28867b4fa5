#include "tarvorun_nmi_spool.h"

#include <cerrno>
#include <system_error>

namespace {

std::string Reason(int error) { return error > 0 ? std::generic_category().message(error) : "a write failed"; }

}  // namespace

NmiLogSpool::~NmiLogSpool() {
    if (file_ != nullptr) std::fclose(file_);
}

bool NmiLogSpool::Open() {
    file_ = std::tmpfile();
    return file_ != nullptr;
}

void NmiLogSpool::Add(const std::string& line) {
    if (file_ == nullptr || writeError_ != 0) return;
    errno = 0;
    if (std::fputs("nmi: ", file_) < 0 || std::fputs(line.c_str(), file_) < 0 || std::fputc('\n', file_) == EOF) {
        writeError_ = errno != 0 ? errno : -1;
    }
}

bool NmiLogSpool::CopyTo(std::ostream& out, std::string& error) {
    if (file_ == nullptr) return true;
    errno = 0;
    if (writeError_ == 0 && std::fflush(file_) != 0) writeError_ = errno != 0 ? errno : -1;
    if (writeError_ != 0) {
        error = "cannot keep the NMI log in a temporary file: " + Reason(writeError_);
        return false;
    }
    std::rewind(file_);
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file_)) > 0) out.write(chunk, static_cast<std::streamsize>(got));
    if (std::ferror(file_)) {
        error = "cannot read the NMI log back from its temporary file: " + Reason(errno);
        return false;
    }
    return true;
}
