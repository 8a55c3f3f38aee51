#pragma once

#include <cstddef>

#include <QString>

class QPlainTextEdit;

namespace ravolin {

// The largest output a run shows, in bytes of its text; a larger run stops with a warning instead. The pane
// costs about 8 bytes of memory per character shown on top of the text itself (10 M characters ~100 MiB,
// 50 M ~420 MiB), and the run holds the text twice more while it hands it over: a run at this limit takes
// the program from ~60 MiB to ~350 MiB, and 32 MiB of text is more than anyone reads or copies by hand.
inline constexpr std::size_t kOutputLimitBytes = std::size_t{32} * 1024 * 1024;

// The pane is filled a slice at a time, one slice per turn of the event loop: the widget's cost grows with
// the text, and 256 K characters keep each turn near 15 ms at any size.
inline constexpr qsizetype kOutputSliceChars = 256 * 1024;

// Where the slice that starts at `from` ends (exclusive): at most `sliceChars` further, just after the last
// line break within that reach when there is one, and never between the halves of a surrogate pair.
qsizetype outputSliceEnd(const QString& text, qsizetype from, qsizetype sliceChars = kOutputSliceChars);

// What the pane costs per character shown, with room to spare over the ~8 bytes measured.
inline constexpr std::size_t kPaneBytesPerChar = 12;

// Whether `bytes` more memory can be had now. Qt doesn't survive an allocation that fails inside the pane (it
// dereferences the null), so a run asks first and stops cleanly instead.
bool memoryAvailable(std::size_t bytes);

// Puts one slice into the output pane: the first replaces the whole content, each later one is appended.
void fillOutputSlice(QPlainTextEdit& pane, const QString& slice, bool first);

}  // namespace ravolin
