#include "output/WriterThread.h"

#include <utility>

#include "platform/core/Codec.h"

namespace ravolin {

WriterThread::WriterThread(std::function<bool(std::string_view)> write, bool cp932)
    : m_write(std::move(write)), m_cp932(cp932), m_thread([this] { work(); }) {}

WriterThread::~WriterThread() { join(); }

bool WriterThread::take(std::string& piece) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_hasPending || m_failed; });
    if (m_failed) return false;
    m_pending.swap(piece);
    piece.clear();
    m_hasPending = true;
    m_changed.notify_all();
    return true;
}

void WriterThread::join() {
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

bool WriterThread::finish() {
    join();
    if (m_thrown) std::rethrow_exception(std::exchange(m_thrown, nullptr));
    return !m_failed;
}

void WriterThread::work() {
    // Buffers that keep their capacity: the claimed piece swaps with the pending one.
    std::string piece;
    std::string encoded;
    std::uint64_t replaced = 0;
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_hasPending || m_closing; });
            if (!m_hasPending) break;
            piece.swap(m_pending);
            m_hasPending = false;
        }
        m_changed.notify_all();
        bool written = false;
        std::exception_ptr thrown;
        try {
            if (m_cp932) {
                std::size_t pieceReplaced = 0;
                encoded.clear();
                appendUtf8AsCp932(encoded, piece, &pieceReplaced);
                replaced += pieceReplaced;
                written = m_write(encoded);
            } else {
                written = m_write(piece);
            }
        } catch (...) {
            thrown = std::current_exception();  // for finish() to throw: here it would end the process
        }
        if (!written) {
            const std::lock_guard lock(m_mutex);
            m_failed = true;
            m_thrown = thrown;
            break;
        }
    }
    m_changed.notify_all();
    const std::lock_guard lock(m_mutex);
    m_replaced = replaced;
}

}  // namespace ravolin
