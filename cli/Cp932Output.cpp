#include "cli/Cp932Output.h"

#include <cerrno>
#include <new>
#include <utility>

#include "platform/core/Codec.h"

namespace ravolin {

Cp932Output::Cp932Output(std::function<int(std::string_view)> write)
    : m_write(std::move(write)), m_thread([this] { work(); }) {}

Cp932Output::~Cp932Output() { finish(); }

bool Cp932Output::write(std::string_view piece) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_hasPending || m_error != 0; });
    if (m_error != 0) return false;
    m_pending.assign(piece);
    m_hasPending = true;
    m_changed.notify_all();
    return true;
}

int Cp932Output::finish() {
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
    return m_error;
}

void Cp932Output::work() {
    // Buffers that keep their capacity: the claimed piece swaps with the pending one.
    std::string piece;
    std::string encoded;
    bool lossy = false;
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_hasPending || m_closing; });
            if (!m_hasPending) break;
            piece.swap(m_pending);
            m_hasPending = false;
        }
        m_changed.notify_all();
        bool pieceLossy = false;
        int error = 0;
        try {
            encoded.clear();
            appendUtf8AsCp932(encoded, piece, &pieceLossy);
            lossy = lossy || pieceLossy;
            error = m_write(encoded);
        } catch (const std::bad_alloc&) {
            error = ENOMEM;  // told as a failed write; an exception here would end the process
        }
        if (error != 0) {
            const std::lock_guard lock(m_mutex);
            m_error = error;
            break;
        }
    }
    m_changed.notify_all();
    const std::lock_guard lock(m_mutex);
    m_lossy = lossy;
}

}  // namespace ravolin
