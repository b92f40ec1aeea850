#pragma once

#include <csignal>

#include <sys/resource.h>

namespace quorvane::testing {

// A full disk for as long as it lives, root included: no file may grow past a
// few bytes, and a write past that fails instead of raising SIGXFSZ. Check
// results after it is gone, so a failure message can still be written.
class FileSizeLimit final {
public:
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = m_saved;
        tiny.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace quorvane::testing
