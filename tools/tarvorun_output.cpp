#include "tarvorun_output.h"

#include <cerrno>
#include <ios>
#include <system_error>

#include "tarvorun_session.h"

int WithCheckedOutput(std::ostream& out, std::ostream& err, const std::function<int()>& produce) {
    const std::ios::iostate thrown = out.exceptions();
    out.exceptions(thrown | std::ios::badbit);  // a lost write stops the run wherever it stands
    int result = kRunFailed;
    errno = 0;
    try {
        result = produce();
        out.flush();
    } catch (const std::ios_base::failure&) {
        result = kRunFailed;
    }
    // The system's reason, left by the write that failed.
    const int reason = errno;
    out.exceptions(thrown);
    if (out) return result;
    err << "tarvorun: cannot write the output: "
        << (reason > 0 ? std::generic_category().message(reason) : "the system gave no reason") << "\n";
    return kRunFailed;
}
