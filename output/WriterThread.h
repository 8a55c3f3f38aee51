#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace ravolin {

// Writes pieces on a thread of its own, converted from UTF-8 to CP932 first when asked, so that converting and
// writing one piece overlap producing the next: the expansion then never waits for either.
class WriterThread {
public:
    // `write` writes all it is given, or returns false; it runs on the thread of this object, never on two
    // threads at once.
    WriterThread(std::function<bool(std::string_view)> write, bool cp932);
    ~WriterThread();
    WriterThread(const WriterThread&) = delete;
    WriterThread& operator=(const WriterThread&) = delete;

    // Hands over the bytes of `piece`, waiting while the one before is still unclaimed, and leaves it holding a
    // buffer to reuse; false once a write has failed (the piece is then dropped).
    bool take(std::string& piece);
    // Waits until everything handed over is written; false when a write failed. What the thread threw
    // (out of memory, or the writer's own exception) is thrown here.
    bool finish();
    // How many "?" stand for characters that CP932 lacks; valid after finish().
    std::uint64_t replaced() const { return m_replaced; }

private:
    void work();
    void join();

    std::function<bool(std::string_view)> m_write;
    bool m_cp932 = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_pending;  // the piece handed over and not yet claimed
    bool m_hasPending = false;
    bool m_closing = false;
    bool m_failed = false;
    std::exception_ptr m_thrown;
    std::uint64_t m_replaced = 0;
    std::thread m_thread;  // last, so that it starts once everything above exists
};

}  // namespace ravolin
