#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QTimer>

#include "conversion/Expansion.h"
#include "settings/Settings.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace ravolin {

class MessageBoxPort;

// Passes the preview shows, whatever the loop count.
inline constexpr std::int32_t kPreviewPasses = 20;
// The most the loop field takes.
inline constexpr std::int32_t kLoopFieldMax = INT32_MAX;

// "書式と繰り返し": each counter's kind, width, fill, format, repeat and period, a date counter's start, unit,
// pattern and days off, and each array's repeat, end mode, order and escape, with a preview of the first passes and the
// size of the whole output, both following every change. It works on a copy of the window's document: the caller takes
// document() when it ends with OK.
class FormatDialog : public QDialog {
    Q_OBJECT
public:
    // `document`: what the main window shows now.
    FormatDialog(QWidget* parent, Document document, MessageBoxPort& messageBox);

    // The document with the styles the controls show and the loop count "ループ回数を配列に合わせる" chose. A row
    // left as it was keeps its values even where they were out of range, so opening and confirming changes
    // nothing.
    Document document() const;
    // The loop count the button chose; nullopt while it hasn't been pressed.
    std::optional<std::int32_t> loopCount() const { return m_loopCount; }

    // Redraws the preview and the size line now rather than at the next turn of the event loop.
    void refresh();
    // Gives the first control of a slot's row the focus: tab 0 counter `row`, tab 1-9 that array.
    void focusSlot(int tab, int row);

    struct CounterRow {
        QLineEdit* token = nullptr;
        QComboBox* kind = nullptr;
        QSpinBox* width = nullptr;
        QComboBox* fill = nullptr;
        QComboBox* format = nullptr;
        QSpinBox* repeat = nullptr;
        QSpinBox* period = nullptr;
    };
    struct DateRow {
        QLineEdit* token = nullptr;
        QDateTimeEdit* start = nullptr;
        QComboBox* unit = nullptr;
        QComboBox* pattern = nullptr;  // editable: the common patterns, or any other
        QLineEdit* daysOff = nullptr;
    };
    // The fields of a decimal, random or UUID counter; only those of the row's kind show.
    struct ValueRow {
        QWidget* row = nullptr;
        QLineEdit* token = nullptr;
        QLineEdit* start = nullptr;  // decimal
        QLineEdit* step = nullptr;
        QSpinBox* places = nullptr;
        QSpinBox* minimum = nullptr;  // random
        QSpinBox* maximum = nullptr;
        QCheckBox* unique = nullptr;
        QLineEdit* seed = nullptr;  // random and UUID
        QPushButton* newSeed = nullptr;
        std::vector<QWidget*> decimalCells, randomCells, seedCells;  // each field with its label
    };
    struct ArrayRow {
        QLineEdit* token = nullptr;
        QSpinBox* repeat = nullptr;
        QComboBox* end = nullptr;
        // In the box under the arrays, shown while the array is chosen there.
        QComboBox* order = nullptr;
        QLineEdit* seed = nullptr;
        QPushButton* newSeed = nullptr;
        QComboBox* escape = nullptr;
    };
    std::array<CounterRow, kCounterCount> m_counterRows;
    std::array<DateRow, kCounterCount> m_dateRows;
    std::array<ValueRow, kCounterCount> m_valueRows;
    QGroupBox* m_valuesBox = nullptr;
    QLabel* m_valueNotes = nullptr;  // what can't be read in the fields of the values box and the arrays' seeds
    std::array<ArrayRow, kArrayCount> m_arrayRows;
    QComboBox* m_arrayChoice = nullptr;            // whose order, seed and escape the box under the arrays shows
    std::array<QLabel*, 3> m_arrayDetailLabels{};  // of the order, the seed and the escape
    QLabel* m_dateNotes = nullptr;                 // what can't be read in the date fields, and how it counts instead
    QPlainTextEdit* m_preview = nullptr;
    QLabel* m_size = nullptr;
    QPushButton* m_fitLoop = nullptr;

private:
    void buildCounters(QWidget* box);
    void buildDates(QWidget* box);
    void buildValues(QGroupBox* box);
    void showArrayDetail(int array);
    void showValueStyles();
    void showValueNotes();
    // The value rows' part of document(): the fields of `r` into `shown`.
    void takeValueFields(std::size_t r, CounterStyle& shown) const;
    void buildArrays(QWidget* box, QWidget* orderBox);
    void enableRow(std::size_t r);
    void showDateNotes();
    void scheduleRefresh();
    void showStyles();
    void onFitLoop();
    ExpansionInput currentInput() const;

    Document m_document;
    MessageBoxPort& m_messageBox;
    std::optional<std::int32_t> m_loopCount;
    // Each start as the field showed it on opening: left there, the stored text is kept as written.
    std::array<std::int64_t, kCounterCount> m_startShown{};
    std::array<QString, kCounterCount> m_decimalStartShown;
    // Seeds the preview draws from where a row has none: drawn once, so the preview holds still; never stored.
    std::array<std::string, kCounterCount> m_previewCounterSeeds;
    std::array<std::string, kArrayCount> m_previewArraySeeds;
    QTimer m_refreshTimer;
};

// The number of passes the longest array with a token and values needs to show every line: its lines (a last
// empty one, left by a closing CR LF, not counted) times its repeat. 0 when no array has any.
std::uint64_t passesForArrays(const ExpansionInput& input);

}  // namespace ravolin
