#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace ravolin {

// Converts pieces of UTF-8 to CP932 and writes them on a thread of its own, so that converting one piece
// overlaps producing the next: converting then costs no wall time beside the expansion.
class Cp932Output {
public:
    // `write` writes all it is given, or returns the errno of its failure.
    explicit Cp932Output(std::function<int(std::string_view)> write);
    ~Cp932Output();
    Cp932Output(const Cp932Output&) = delete;
    Cp932Output& operator=(const Cp932Output&) = delete;

    // Hands over a copy of `piece`, waiting while the one before is still unclaimed; false once a write
    // has failed (the piece is then dropped).
    bool write(std::string_view piece);
    // Waits until everything handed over is written; the errno of the failed write, or 0.
    int finish();
    // Whether characters that CP932 lacks were written as "?"; valid after finish().
    bool lossy() const { return m_lossy; }

private:
    void work();

    std::function<int(std::string_view)> m_write;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_pending;  // the piece handed over and not yet claimed
    bool m_hasPending = false;
    bool m_closing = false;
    int m_error = 0;
    bool m_lossy = false;
    std::thread m_thread;  // last, so that it starts once everything above exists
};

}  // namespace ravolin
