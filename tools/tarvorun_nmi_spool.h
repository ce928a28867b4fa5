// The runner's --nmi-log comes after the other outputs, which are known only at the end of the
// run, while a long run may log without end. So its lines go into a temporary file as they
// happen and are copied out at the end: memory holds one line at a time.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>

class NmiLogSpool {
public:
    NmiLogSpool() = default;
    ~NmiLogSpool();
    NmiLogSpool(const NmiLogSpool&) = delete;
    NmiLogSpool& operator=(const NmiLogSpool&) = delete;

    // Creates the temporary file. false: there is none, and the caller keeps the lines itself.
    bool Open();
    // Writes "nmi: LINE" and a line end.
    void Add(const std::string& line);
    // Copies every line to out. false when a line could not be written to the temporary file or
    // read back from it; error then says why.
    bool CopyTo(std::ostream& out, std::string& error);

private:
    std::FILE* file_ = nullptr;
    int writeError_ = 0;  // errno of the first failing write, or -1 for one without a reason
};
