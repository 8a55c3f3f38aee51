#include "ui/FormatDialog.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "conversion/DateCounter.h"
#include "conversion/DecimalCounter.h"
#include "conversion/RandomValues.h"
#include "conversion/TextHelpers.h"
#include "platform/qt/MessageBox.h"
#include "resources/DialogTemplate.h"
#include "settings/StoredExpansion.h"
#include "ui/DialogButtons.h"
#include "ui/DialogTexts.h"
#include "ui/OutputView.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/ProgramIconLoader.h"

namespace ravolin {
namespace {

// The preview shows at most this much of its passes, and no pass may need more work than that to be built;
// values holding later tokens may cost it at most kPreviewWork a try (it tries fewer passes up to five times).
constexpr std::size_t kPreviewMaxBytes = 64 * 1024;
constexpr std::size_t kPreviewWorkBytes = std::size_t{1} << 20;
constexpr std::size_t kPreviewWork = std::size_t{1} << 20;
// Values that hold later tokens are counted pass by pass; beyond this output, or this work (some 30 ms at
// worst), the size line stops counting.
constexpr std::size_t kSizeBudgetBytes = std::size_t{16} << 20;
constexpr std::size_t kSizeWork = std::size_t{16} << 20;
constexpr int kPreviewLines = 10;

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// A header's caption without its access key, for the screen-reader names of the rows.
QString plainCaption(const char* header) {
    QString caption = text(header);
    const qsizetype key = caption.indexOf(QStringLiteral("(&"));
    return key < 0 ? caption : caption.left(key);
}

// Civil date and time both ways. UTC stands for "no zone": no day lacks an hour, none has one twice.
QDateTime shownDateTime(DateTime value) {
    using namespace std::chrono;
    const sys_days day = floor<days>(value);
    const year_month_day date{day};
    const hh_mm_ss<seconds> time{value - day};
    return QDateTime(
        QDate(int{date.year()}, static_cast<int>(unsigned{date.month()}), static_cast<int>(unsigned{date.day()})),
        QTime(static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
              static_cast<int>(time.seconds().count())),
        Qt::UTC);
}

DateTime dateTimeOf(const QDateTime& shown) {
    using namespace std::chrono;
    const QDate date = shown.date();
    const QTime time = shown.time();
    return DateTime{sys_days{year{date.year()} / date.month() / date.day()}} + hours{time.hour()} +
           minutes{time.minute()} + seconds{time.second()};
}

// The shortest of the start's written forms that holds the value.
std::string startText(DateTime value) {
    const auto secondOfDay = (value - std::chrono::floor<std::chrono::days>(value)).count();
    return formatDateTime(value, secondOfDay == 0        ? "yyyy/mm/dd"
                                 : secondOfDay % 60 == 0 ? "yyyy/mm/dd hh:mm"
                                                         : "yyyy/mm/dd hh:mm:ss");
}

// A field that holds something that can't be read: tinted, with the reason in its tooltip.
void markField(QWidget* field, const QString& reason) {
    field->setPalette(QPalette());
    if (!reason.isEmpty()) {
        QPalette tinted = field->palette();
        tinted.setColor(QPalette::Base, QColor(255, 228, 228));
        field->setPalette(tinted);
    }
    field->setToolTip(reason);
    field->setAccessibleDescription(reason);
}

// What a seed field may hold: nothing, or an unsigned 64-bit decimal.
bool readsAsSeed(const std::string& text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return text.empty() || (error == std::errc() && end == text.data() + text.size());
}

bool readsAsDecimal(const std::string& text) { return parseDecimal(text).has_value(); }

// A fresh seed as a seed field holds it.
std::string freshSeedText(std::size_t slot) { return std::to_string(freshSeed(slot)); }

QString grouped(std::uint64_t number) { return QLocale(QLocale::Japanese, QLocale::Japan).toString(number); }

QComboBox* comboOf(QWidget* parent, const char* const* first, const char* const* last) {
    auto* combo = new QComboBox(parent);
    for (const char* const* item = first; item != last; ++item) combo->addItem(text(*item));
    return combo;
}

QSpinBox* spinOf(QWidget* parent, int minimum, int maximum) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    return spin;
}

QLineEdit* tokenField(QWidget* parent, const std::string& token) {
    auto* field = new QLineEdit(QString::fromStdString(token), parent);
    field->setReadOnly(true);
    field->setPlaceholderText(text(kUnusedToken));
    // Shown for reference: Tab goes past it, a click still lets its text be copied.
    field->setFocusPolicy(Qt::ClickFocus);
    // Wide enough for a full-width token of the field's 15 bytes.
    const QFontMetrics metrics = field->fontMetrics();
    field->setMinimumWidth(metrics.horizontalAdvance(QString::fromUtf8("＜置換１２＞")) +
                           4 * metrics.averageCharWidth());
    return field;
}

// The header row of a grid; the headers' access keys lead to the first row that can take them.
template <std::size_t N>
void addHeaders(QGridLayout* grid, const char* const (&headers)[N]) {
    for (int c = 0; c < static_cast<int>(N); ++c) {
        auto* label = new QLabel(text(headers[c]), grid->parentWidget());
        grid->addWidget(label, 0, c);
        if (c > 0) label->setBuddy(grid->itemAtPosition(1, c)->widget());
    }
}

// Row `r` (from 0) of a grid under its headers: each cell named for screen readers by `nameText`, and the
// cells after the token off for a slot without one.
template <std::size_t N>
void addRow(QGridLayout* grid, std::size_t r, QWidget* const (&cells)[N], const char* const (&headers)[N],
            const char* nameText, bool used) {
    for (int c = 0; c < static_cast<int>(N); ++c) {
        grid->addWidget(cells[c], static_cast<int>(r) + 1, c);
        cells[c]->setAccessibleName(text(nameText).arg(r + 1).arg(plainCaption(headers[c])));
        if (c > 0) cells[c]->setEnabled(used);
    }
}

}  // namespace

std::uint64_t passesForArrays(const ExpansionInput& input) {
    std::uint64_t longest = 0;
    for (const ArrayInput& array : input.arrays) {
        if (array.token.empty() || array.valuesText.empty()) continue;
        std::uint64_t lines = 1;
        for (std::size_t at = array.valuesText.find(kLineBreak); at != std::string::npos;
             at = array.valuesText.find(kLineBreak, at + kLineBreak.size()))
            ++lines;
        if (array.valuesText.ends_with(kLineBreak)) --lines;
        longest = std::max(longest, lines * static_cast<std::uint64_t>(effectiveStyle(array.style).repeat));
    }
    return longest;
}

FormatDialog::FormatDialog(QWidget* parent, Document document, MessageBoxPort& messageBox)
    : QDialog(parent), m_document(std::move(document)), m_messageBox(messageBox) {
    setWindowTitle(text(kFormatCaption));
    setWindowIcon(loadProgramIcon());
    // The main window's face, set before the controls measure their texts: the desktop's default may have no
    // Japanese glyphs.
    setFont(fontFromLogFont(templateLogFont(*findDialogTemplate(kConverterDialogId), screenDpi())));
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &FormatDialog::refresh);

    auto* counters = new QGroupBox(text(kFormatCountersBox), this);
    buildCounters(counters);
    auto* dates = new QGroupBox(text(kFormatDatesBox), this);
    dates->setToolTip(text(kDateFieldsTip));
    buildDates(dates);
    m_valuesBox = new QGroupBox(text(kFormatValuesBox), this);
    buildValues(m_valuesBox);
    auto* arrays = new QGroupBox(text(kFormatArraysBox), this);
    auto* detail = new QGroupBox(text(kFormatArrayDetailBox), this);
    buildArrays(arrays, detail);
    auto* column = new QVBoxLayout;
    column->addWidget(counters);
    column->addWidget(dates);
    column->addWidget(m_valuesBox);
    column->addStretch();
    auto* rows = new QHBoxLayout;
    rows->addLayout(column);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(arrays);
    listColumn->addWidget(detail);
    listColumn->addStretch();
    rows->addLayout(listColumn);

    auto* previewLabel = new QLabel(text(kPreviewLabel).arg(kPreviewPasses), this);
    m_preview = new QPlainTextEdit(this);
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Fixed pitch keeps padded values in columns; the desktop's fixed face would draw the Japanese in a fallback.
    m_preview->setFont(japaneseFixedFont(font()));
    m_preview->setMinimumHeight(m_preview->fontMetrics().lineSpacing() * kPreviewLines);
    m_preview->setAccessibleName(plainCaption(kPreviewLabel).arg(kPreviewPasses));
    previewLabel->setBuddy(m_preview);
    m_size = new QLabel(this);
    m_size->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_size->setWordWrap(true);

    m_fitLoop = new QPushButton(text(kFitLoopButton), this);
    m_fitLoop->setAutoDefault(false);
    connect(m_fitLoop, &QPushButton::clicked, this, &FormatDialog::onFitLoop);
    QDialogButtonBox* buttons = okCancelButtons(*this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_fitLoop);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rows);
    layout->addWidget(m_valueNotes);
    layout->addWidget(previewLabel);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_size);
    layout->addLayout(bottom);

    showStyles();
    refresh();
}

void FormatDialog::buildCounters(QWidget* box) {
    auto* grid = new QGridLayout(box);
    const char* const headers[] = {kFormatTokenHeader,  kFormatKindHeader,   kFormatWidthHeader, kFormatFillHeader,
                                   kFormatFormatHeader, kFormatRepeatHeader, kFormatPeriodHeader};
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        CounterRow& row = m_counterRows[r];
        row.token = tokenField(box, m_document.record.counters[r].token);
        row.kind = comboOf(box, std::begin(kKindTexts), std::end(kKindTexts));
        row.width = spinOf(box, 0, 64);
        row.fill = comboOf(box, std::begin(kFillTexts), std::end(kFillTexts));
        row.format = comboOf(box, std::begin(kFormatTexts), std::end(kFormatTexts));
        row.repeat = spinOf(box, 1, INT32_MAX);
        row.period = spinOf(box, 0, INT32_MAX);
        row.period->setSpecialValueText(text(kPeriodNone));
        QWidget* const cells[] = {row.token, row.kind, row.width, row.fill, row.format, row.repeat, row.period};
        addRow(grid, r, cells, headers, kFormatCounterRowItem, !m_document.record.counters[r].token.empty());
        for (QSpinBox* spin : {row.width, row.repeat, row.period})
            connect(spin, &QSpinBox::valueChanged, this, &FormatDialog::scheduleRefresh);
        connect(row.fill, &QComboBox::currentIndexChanged, this, &FormatDialog::scheduleRefresh);
        for (QComboBox* combo : {row.kind, row.format}) {
            connect(combo, &QComboBox::currentIndexChanged, this, [this, r] {
                enableRow(r);
                showDateNotes();
                scheduleRefresh();
            });
        }
    }
    addHeaders(grid, headers);
}

void FormatDialog::buildDates(QWidget* box) {
    auto* grid = new QGridLayout(box);
    const char* const headers[] = {kFormatTokenHeader, kFormatStartHeader, kFormatUnitHeader, kFormatPatternHeader,
                                   kFormatDaysOffHeader};
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        DateRow& row = m_dateRows[r];
        row.token = tokenField(box, m_document.record.counters[r].token);
        row.start = new QDateTimeEdit(box);
        row.start->setTimeSpec(Qt::UTC);
        row.start->setDateTimeRange(shownDateTime(kFirstDateTime), shownDateTime(kLastDateTime));
        row.start->setDisplayFormat(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        row.start->setCalendarPopup(true);
        row.unit = comboOf(box, std::begin(kUnitTexts), std::end(kUnitTexts));
        row.pattern = comboOf(box, std::begin(kPatternChoices), std::end(kPatternChoices));
        row.pattern->setEditable(true);
        row.pattern->setInsertPolicy(QComboBox::NoInsert);
        row.daysOff = new QLineEdit(box);
        row.daysOff->setMinimumWidth(row.daysOff->fontMetrics().horizontalAdvance(text(kDaysOffPlaceholder)));
        QWidget* const cells[] = {row.token, row.start, row.unit, row.pattern, row.daysOff};
        addRow(grid, r, cells, headers, kFormatDateRowItem, !m_document.record.counters[r].token.empty());
        connect(row.start, &QDateTimeEdit::dateTimeChanged, this, [this] {
            showDateNotes();
            scheduleRefresh();
        });
        connect(row.unit, &QComboBox::currentIndexChanged, this, &FormatDialog::scheduleRefresh);
        connect(row.pattern, &QComboBox::currentTextChanged, this, &FormatDialog::scheduleRefresh);
        connect(row.daysOff, &QLineEdit::textChanged, this, [this] {
            showDateNotes();
            scheduleRefresh();
        });
    }
    addHeaders(grid, headers);
    m_dateNotes = new QLabel(box);
    m_dateNotes->setWordWrap(true);
    m_dateNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette warning = m_dateNotes->palette();
    warning.setColor(QPalette::WindowText, QColor(176, 0, 0));
    m_dateNotes->setPalette(warning);
    grid->addWidget(m_dateNotes, static_cast<int>(kCounterCount) + 1, 0, 1, static_cast<int>(std::size(headers)));
}

// Each kind has its say only in its own fields: a date writes its own text padded with blanks (no format, no
// fill), a decimal its digits (no format), a UUID its hex digits (the format only for upper case).
void FormatDialog::enableRow(std::size_t r) {
    const CounterRow& row = m_counterRows[r];
    const bool used = !m_document.record.counters[r].token.empty();
    const int kind = row.kind->currentIndex();
    const bool dated = kind == kKindDate;
    row.format->setEnabled(used && kind != kKindDate && kind != kKindDecimal);
    row.fill->setEnabled(used && (kind == kKindDecimal || ((kind == kKindInteger || kind == kKindRandom) &&
                                                           !fillsWithBlanksOnly(row.format->currentIndex()))));
    const ValueRow& value = m_valueRows[r];
    for (QWidget* cell : value.decimalCells) cell->setVisible(kind == kKindDecimal);
    for (QWidget* cell : value.randomCells) cell->setVisible(kind == kKindRandom);
    for (QWidget* cell : value.seedCells) cell->setVisible(kind == kKindRandom || kind == kKindUuid);
    value.row->setVisible(kind == kKindDecimal || kind == kKindRandom || kind == kKindUuid);
    value.row->setEnabled(used);
    m_valuesBox->setVisible(std::any_of(m_valueRows.begin(), m_valueRows.end(),
                                        [](const ValueRow& each) { return !each.row->isHidden(); }));
    const DateRow& date = m_dateRows[r];
    for (QWidget* cell : {static_cast<QWidget*>(date.start), static_cast<QWidget*>(date.unit),
                          static_cast<QWidget*>(date.pattern), static_cast<QWidget*>(date.daysOff)})
        cell->setEnabled(used && dated);
    // The example is for a row that takes days off; on the others it would only crowd the box.
    date.daysOff->setPlaceholderText(used && dated ? text(kDaysOffPlaceholder) : QString());
}

// Said at once, beside the fields: a stored start that can't be read, and days off that can't.
void FormatDialog::showDateNotes() {
    QStringList notes;
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        const DateRow& row = m_dateRows[r];
        const bool dated = row.start->isEnabled();
        const std::string& stored = m_document.record.counters[r].style.start;
        const bool startLeft = dateTimeOf(row.start->dateTime()).time_since_epoch().count() == m_startShown[r];
        QString startNote;
        if (dated && startLeft && !parseDateTime(stored))
            startNote = text(kStartUnreadable).arg(r + 1).arg(QString::fromStdString(stored));
        markField(row.start, startNote);
        if (!startNote.isEmpty()) notes << startNote;
        QStringList offNotes;
        if (dated) {
            for (const std::string& entry : parseDaysOff(row.daysOff->text().toStdString()).unreadable)
                offNotes << text(kDaysOffUnreadable).arg(r + 1).arg(QString::fromStdString(entry));
        }
        markField(row.daysOff, offNotes.join(QLatin1Char('\n')));
        notes << offNotes;
    }
    m_dateNotes->setText(notes.join(QLatin1Char('\n')));
    m_dateNotes->setVisible(!notes.isEmpty());
}

// The order, seed and escape of one array at a time, in a box under the arrays: a column each beside them would take
// the dialog past a screen's width. The box shows the array chosen in its list or whose row has the focus.
void FormatDialog::buildArrays(QWidget* box, QWidget* detailBox) {
    auto* grid = new QGridLayout(box);
    const char* const headers[] = {kFormatTokenHeader, kFormatArrayRepeatHeader, kFormatEndHeader};
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        ArrayRow& row = m_arrayRows[i];
        row.token = tokenField(box, m_document.record.arrays[i].token);
        row.repeat = spinOf(box, 1, INT32_MAX);
        row.end = comboOf(box, std::begin(kEndTexts), std::end(kEndTexts));
        QWidget* const cells[] = {row.token, row.repeat, row.end};
        addRow(grid, i, cells, headers, kFormatArrayRowItem, !m_document.record.arrays[i].token.empty());
        connect(row.repeat, &QSpinBox::valueChanged, this, &FormatDialog::scheduleRefresh);
        connect(row.end, &QComboBox::currentIndexChanged, this, &FormatDialog::scheduleRefresh);
    }
    addHeaders(grid, headers);

    // Made after the rows, so that Tab comes here once it has passed them all.
    auto* detail = new QGridLayout(detailBox);
    m_arrayChoice = new QComboBox(detailBox);
    int first = -1;
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const std::string& token = m_document.record.arrays[i].token;
        m_arrayChoice->addItem(text(kFormatArrayChoiceItem)
                                   .arg(i + 1)
                                   .arg(token.empty() ? text(kUnusedToken) : QString::fromStdString(token)));
        if (first < 0 && !token.empty()) first = static_cast<int>(i);
    }
    m_arrayChoice->setAccessibleName(plainCaption(kFormatArrayChoiceLabel));
    const char* const labels[] = {kFormatArrayChoiceLabel, kFormatOrderHeader, kFormatArraySeedHeader,
                                  kFormatEscapeHeader};
    for (int line = 0; line < static_cast<int>(std::size(labels)); ++line) {
        auto* label = new QLabel(text(labels[line]), detailBox);
        detail->addWidget(label, line, 0);
        if (line > 0)
            m_arrayDetailLabels[static_cast<std::size_t>(line - 1)] = label;
        else
            label->setBuddy(m_arrayChoice);
    }
    detail->addWidget(m_arrayChoice, 0, 1, 1, 2);
    detail->setColumnStretch(3, 1);
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        ArrayRow& row = m_arrayRows[i];
        const bool used = !m_document.record.arrays[i].token.empty();
        row.order = comboOf(detailBox, std::begin(kOrderTexts), std::end(kOrderTexts));
        row.seed = new QLineEdit(detailBox);
        row.newSeed = new QPushButton(text(kNewSeedButton), detailBox);
        row.newSeed->setAutoDefault(false);
        row.escape = comboOf(detailBox, std::begin(kEscapeTexts), std::end(kEscapeTexts));
        detail->addWidget(row.order, 1, 1, 1, 2);
        detail->addWidget(row.seed, 2, 1);
        detail->addWidget(row.newSeed, 2, 2);
        detail->addWidget(row.escape, 3, 1, 1, 2);
        for (const auto& [cell, caption] : {std::pair<QWidget*, QString>{row.order, plainCaption(kFormatOrderHeader)},
                                            {row.seed, text(kFormatArraySeedHeader)},
                                            {row.newSeed, text(kNewSeedButton)},
                                            {row.escape, plainCaption(kFormatEscapeHeader)}}) {
            cell->setAccessibleName(text(kFormatArrayRowItem).arg(i + 1).arg(caption));
            cell->setEnabled(used);
        }
        connect(row.order, &QComboBox::currentIndexChanged, this, [this, &row, used] {
            const bool drawn = row.order->currentIndex() != kOrderWritten;
            row.seed->setEnabled(used && drawn);
            row.seed->setPlaceholderText(used && drawn ? text(kSeedNoneShort) : QString());
            row.newSeed->setEnabled(used && drawn);
            showValueNotes();
            scheduleRefresh();
        });
        connect(row.seed, &QLineEdit::textChanged, this, [this] {
            showValueNotes();
            scheduleRefresh();
        });
        connect(row.newSeed, &QPushButton::clicked, this,
                [&row, i] { row.seed->setText(QString::fromStdString(freshSeedText(kFirstArraySlot + i))); });
        connect(row.escape, &QComboBox::currentIndexChanged, this, &FormatDialog::scheduleRefresh);
    }
    connect(m_arrayChoice, &QComboBox::currentIndexChanged, this, &FormatDialog::showArrayDetail);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (std::size_t i = 0; i < kArrayCount && now; ++i) {
            const ArrayRow& row = m_arrayRows[i];
            for (const QWidget* cell : {static_cast<QWidget*>(row.token), static_cast<QWidget*>(row.repeat),
                                        static_cast<QWidget*>(row.end)}) {
                if (now == cell || cell->isAncestorOf(now)) m_arrayChoice->setCurrentIndex(static_cast<int>(i));
            }
        }
    });
    m_arrayChoice->setCurrentIndex(std::max(first, 0));
    showArrayDetail(m_arrayChoice->currentIndex());
}

// The chosen array's fields in the box, its labels' access keys leading to them.
void FormatDialog::showArrayDetail(int array) {
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const ArrayRow& row = m_arrayRows[i];
        const bool chosen = static_cast<int>(i) == array;
        for (QWidget* cell : {static_cast<QWidget*>(row.order), static_cast<QWidget*>(row.seed),
                              static_cast<QWidget*>(row.newSeed), static_cast<QWidget*>(row.escape)})
            cell->setVisible(chosen);
        if (!chosen) continue;
        m_arrayDetailLabels[0]->setBuddy(row.order);
        m_arrayDetailLabels[1]->setBuddy(row.seed);
        m_arrayDetailLabels[2]->setBuddy(row.escape);
    }
}

void FormatDialog::buildValues(QGroupBox* box) {
    auto* layout = new QVBoxLayout(box);
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        ValueRow& row = m_valueRows[r];
        row.row = new QWidget(box);
        auto* line = new QHBoxLayout(row.row);
        line->setContentsMargins(0, 0, 0, 0);
        row.token = tokenField(row.row, m_document.record.counters[r].token);
        row.token->setAccessibleName(text(kFormatValueRowToken).arg(r + 1).arg(plainCaption(kFormatTokenHeader)));
        line->addWidget(row.token);
        // Each field after its label, which names it for screen readers too.
        const auto add = [&](const char* caption, QWidget* field, std::vector<QWidget*>& cells) {
            auto* label = new QLabel(text(caption), row.row);
            label->setBuddy(field);
            field->setAccessibleName(text(kFormatValueRowItem).arg(r + 1).arg(text(caption)));
            line->addWidget(label);
            line->addWidget(field);
            cells.insert(cells.end(), {label, field});
        };
        row.start = new QLineEdit(row.row);
        row.step = new QLineEdit(row.row);
        row.step->setPlaceholderText(QStringLiteral("0"));
        row.places = spinOf(row.row, -1, 9);
        row.places->setSpecialValueText(text(kPlacesAuto));
        add(kDecimalStartLabel, row.start, row.decimalCells);
        add(kDecimalStepLabel, row.step, row.decimalCells);
        add(kDecimalPlacesLabel, row.places, row.decimalCells);
        row.minimum = spinOf(row.row, INT32_MIN, INT32_MAX);
        row.maximum = spinOf(row.row, INT32_MIN, INT32_MAX);
        add(kRandomMinLabel, row.minimum, row.randomCells);
        add(kRandomMaxLabel, row.maximum, row.randomCells);
        row.seed = new QLineEdit(row.row);
        row.seed->setPlaceholderText(text(kSeedNone));
        row.seed->setMinimumWidth(row.seed->fontMetrics().horizontalAdvance(text(kSeedNone)));
        add(kSeedLabel, row.seed, row.seedCells);
        row.newSeed = new QPushButton(text(kNewSeedButton), row.row);
        row.newSeed->setAutoDefault(false);
        row.newSeed->setAccessibleName(text(kFormatValueRowItem).arg(r + 1).arg(text(kNewSeedButton)));
        line->addWidget(row.newSeed);
        row.seedCells.push_back(row.newSeed);
        row.unique = new QCheckBox(text(kUniqueCheck), row.row);
        row.unique->setAccessibleName(text(kFormatValueRowItem).arg(r + 1).arg(text(kUniqueCheck)));
        line->addWidget(row.unique);
        row.randomCells.push_back(row.unique);
        line->addStretch();
        layout->addWidget(row.row);

        for (QLineEdit* field : {row.start, row.step, row.seed}) {
            connect(field, &QLineEdit::textChanged, this, [this] {
                showValueNotes();
                scheduleRefresh();
            });
        }
        for (QSpinBox* spin : {row.places, row.minimum, row.maximum})
            connect(spin, &QSpinBox::valueChanged, this, &FormatDialog::scheduleRefresh);
        connect(row.unique, &QCheckBox::toggled, this, &FormatDialog::scheduleRefresh);
        connect(row.newSeed, &QPushButton::clicked, this,
                [&row, r] { row.seed->setText(QString::fromStdString(freshSeedText(r))); });
    }
    m_valueNotes = new QLabel(this);
    m_valueNotes->setWordWrap(true);
    m_valueNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette warning = m_valueNotes->palette();
    warning.setColor(QPalette::WindowText, QColor(176, 0, 0));
    m_valueNotes->setPalette(warning);
}

void FormatDialog::showValueStyles() {
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        const CounterStyle style = effectiveStyle(m_document.record.counters[r].style);
        const ValueRow& row = m_valueRows[r];
        // The start is shared with the dates: one that isn't a decimal reads as 0.
        m_decimalStartShown[r] =
            readsAsDecimal(style.start) ? QString::fromStdString(style.start) : QStringLiteral("0");
        row.start->setText(m_decimalStartShown[r]);
        row.step->setText(QString::fromStdString(style.step));
        row.places->setValue(style.places);
        row.minimum->setValue(style.minimum);
        row.maximum->setValue(style.maximum);
        row.unique->setChecked(style.unique == 1);
        row.seed->setText(QString::fromStdString(style.seed));
        m_previewCounterSeeds[r] = freshSeedText(r);
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const ArrayStyle style = effectiveStyle(m_document.record.arrays[i].style);
        const ArrayRow& row = m_arrayRows[i];
        row.order->setCurrentIndex(style.order);
        row.escape->setCurrentIndex(style.escape);
        row.seed->setText(QString::fromStdString(style.seed));
        const bool drawn = style.order != kOrderWritten && !m_document.record.arrays[i].token.empty();
        row.seed->setEnabled(drawn);
        row.seed->setPlaceholderText(drawn ? text(kSeedNoneShort) : QString());
        row.newSeed->setEnabled(drawn);
        m_previewArraySeeds[i] = freshSeedText(kFirstArraySlot + i);
    }
    showValueNotes();
}

// Said at once, under the values box: decimals and seeds that can't be read, and what counts instead.
void FormatDialog::showValueNotes() {
    QStringList notes;
    // An array's seed is checked while the box shows another array too: its note names the array.
    const auto check = [&](QLineEdit* field, bool readable, const QString& note, bool evenHidden = false) {
        const bool bad = field->isEnabled() && (evenHidden || !field->isHidden()) && !readable;
        markField(field, bad ? note : QString());
        if (bad) notes << note;
    };
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        const ValueRow& row = m_valueRows[r];
        if (row.row->isHidden() || !row.row->isEnabled()) continue;
        for (const auto& [field, label] : {std::pair{row.start, kDecimalStartLabel}, {row.step, kDecimalStepLabel}}) {
            const std::string typed = field->text().toStdString();
            check(field, typed.empty() || readsAsDecimal(typed),
                  text(kDecimalUnreadable).arg(r + 1).arg(text(label), field->text()));
        }
        check(
            row.seed, readsAsSeed(row.seed->text().toStdString()),
            text(kSeedUnreadable).arg(text(kFormatValueRowItem).arg(r + 1).arg(QString()).trimmed(), row.seed->text()));
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const ArrayRow& row = m_arrayRows[i];
        check(
            row.seed, readsAsSeed(row.seed->text().toStdString()),
            text(kSeedUnreadable).arg(text(kFormatArrayRowItem).arg(i + 1).arg(QString()).trimmed(), row.seed->text()),
            true);
    }
    m_valueNotes->setText(notes.join(QLatin1Char('\n')));
    m_valueNotes->setVisible(!notes.isEmpty());
}

void FormatDialog::takeValueFields(std::size_t r, CounterStyle& shown) const {
    const ValueRow& row = m_valueRows[r];
    if (shown.kind == kKindDecimal && row.start->text() != m_decimalStartShown[r])
        shown.start = row.start->text().toStdString();
    shown.step = row.step->text().toStdString();
    shown.places = row.places->value();
    shown.minimum = row.minimum->value();
    shown.maximum = row.maximum->value();
    shown.unique = row.unique->isChecked() ? 1 : 0;
    shown.seed = row.seed->text().toStdString();
}

void FormatDialog::showStyles() {
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        const CounterStyle style = effectiveStyle(m_document.record.counters[r].style);
        const CounterRow& row = m_counterRows[r];
        row.kind->setCurrentIndex(style.kind);
        row.width->setValue(style.width);
        row.fill->setCurrentIndex(style.fill);
        row.format->setCurrentIndex(style.format);
        row.repeat->setValue(style.repeat);
        row.period->setValue(style.period);
        const DateRow& date = m_dateRows[r];
        const DateTime start =
            parseDateTime(style.start).value_or(DateTime{std::chrono::sys_days{std::chrono::year{2000} / 1 / 1}});
        m_startShown[r] = start.time_since_epoch().count();
        date.start->setDateTime(shownDateTime(start));
        date.unit->setCurrentIndex(style.unit);
        date.pattern->setEditText(QString::fromStdString(style.pattern));
        date.daysOff->setText(QString::fromStdString(style.daysOff));
        enableRow(r);
    }
    showDateNotes();
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const ArrayStyle style = effectiveStyle(m_document.record.arrays[i].style);
        m_arrayRows[i].repeat->setValue(style.repeat);
        m_arrayRows[i].end->setCurrentIndex(style.end);
    }
    showValueStyles();
}

Document FormatDialog::document() const {
    Document chosen = m_document;
    if (m_loopCount) chosen.window.loopCount = *m_loopCount;
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        const CounterRow& row = m_counterRows[r];
        CounterStyle& style = chosen.record.counters[r].style;
        CounterStyle shown = style;
        const DateRow& date = m_dateRows[r];
        shown.kind = row.kind->currentIndex();
        const DateTime start = dateTimeOf(date.start->dateTime());
        // A start left as shown keeps its stored text, even one that can't be read.
        if (shown.kind == kKindDate && start.time_since_epoch().count() != m_startShown[r])
            shown.start = startText(start);
        takeValueFields(r, shown);
        shown.unit = date.unit->currentIndex();
        shown.pattern = date.pattern->currentText().toStdString();
        shown.daysOff = date.daysOff->text().toStdString();
        shown.repeat = row.repeat->value();
        shown.period = row.period->value();
        shown.format = row.format->currentIndex();
        shown.width = row.width->value();
        shown.fill = row.fill->currentIndex();
        if (effectiveStyle(shown) != effectiveStyle(style)) style = shown;
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const ArrayStyle shown{.repeat = m_arrayRows[i].repeat->value(),
                               .end = m_arrayRows[i].end->currentIndex(),
                               .order = m_arrayRows[i].order->currentIndex(),
                               .seed = m_arrayRows[i].seed->text().toStdString(),
                               .escape = m_arrayRows[i].escape->currentIndex()};
        ArrayStyle& style = chosen.record.arrays[i].style;
        if (shown != effectiveStyle(style)) style = shown;
    }
    return chosen;
}

// The preview draws from the rows' seeds, or from its own where a row has none yet.
ExpansionInput FormatDialog::currentInput() const {
    ExpansionInput input = expansionInputFrom(document());
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        CounterStyle& style = input.counters[r].style;
        if (style.seed.empty() || !readsAsSeed(style.seed) || style.seed == "0") style.seed = m_previewCounterSeeds[r];
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        ArrayStyle& style = input.arrays[i].style;
        if (style.seed.empty() || !readsAsSeed(style.seed) || style.seed == "0") style.seed = m_previewArraySeeds[i];
    }
    return input;
}

void FormatDialog::focusSlot(int tab, int row) {
    QWidget* first = tab == 0 ? static_cast<QWidget*>(m_counterRows.at(static_cast<std::size_t>(row)).width)
                              : m_arrayRows.at(static_cast<std::size_t>(tab - 1)).repeat;
    // The box under the arrays shows that array at once, not only once the dialog is active.
    if (tab > 0) m_arrayChoice->setCurrentIndex(tab - 1);
    first->setFocus();
}

void FormatDialog::scheduleRefresh() { m_refreshTimer.start(); }

void FormatDialog::refresh() {
    m_refreshTimer.stop();
    ExpansionInput input = currentInput();
    const std::int32_t loopCount = input.loopCount;

    // Bounded by its passes whatever the loop count, and by its bytes whatever the values hold: fewer passes
    // are shown where all of them would be too long.
    std::string preview;
    bool cut = false;
    const std::string footer = input.shape.footer;
    for (std::int32_t shown = std::min(loopCount, kPreviewPasses); shown > 0; shown /= 2) {
        input.loopCount = shown;
        // The footer follows the run's last pass, which the preview may not reach.
        input.shape.footer = shown == loopCount ? footer : std::string();
        ExpansionResult result = ExpandTemplate(input, kPreviewMaxBytes, kPreviewWorkBytes, kPreviewWork);
        cut = shown < std::min(loopCount, kPreviewPasses) || result.limitReached;
        if (!result.limitReached) {
            preview = std::move(result.text);
            break;
        }
    }
    if (cut) preview.append(preview.empty() ? "" : kLineBreak).append(kPreviewCut);
    m_preview->setPlainText(QString::fromStdString(ReplaceAll(preview, kLineBreak, "\n")));

    input.loopCount = loopCount;
    input.shape.footer = footer;
    const SizeMeasurement measured = measureExpansion(input, kSizeBudgetBytes, kSizeWork);
    if (const std::optional<ExpansionSize>& size = measured.size) {
        QString line = text(kSizeLine).arg(grouped(static_cast<std::uint64_t>(std::max(0, loopCount))),
                                           grouped(size->lines), grouped(size->bytes));
        if (size->bytes > kOutputLimitBytes) line += text(kSizeOverPane).arg(kOutputLimitBytes >> 20);
        m_size->setText(line);
    } else if (measured.byDates || measured.byKanji || measured.byRandom) {
        const char* why = measured.byDates   ? kSizeDatesNotCounted
                          : measured.byKanji ? kSizeKanjiNotCounted
                                             : kSizeRandomNotCounted;
        m_size->setText(text(why).arg(grouped(static_cast<std::uint64_t>(std::max(0, loopCount)))));
    } else if (measured.outOfWork) {
        m_size->setText(text(kSizeNotCounted).arg(grouped(static_cast<std::uint64_t>(std::max(0, loopCount)))));
    } else {
        m_size->setText(
            text(kSizeUnknown)
                .arg(grouped(static_cast<std::uint64_t>(std::max(0, loopCount))), grouped(kSizeBudgetBytes)));
    }
}

void FormatDialog::onFitLoop() {
    const std::uint64_t passes = passesForArrays(currentInput());
    if (passes == 0 || passes > static_cast<std::uint64_t>(kLoopFieldMax)) {
        const std::string message =
            passes == 0 ? std::string(kFitLoopNoArray)
                        : text(kFitLoopTooLarge).arg(grouped(passes), grouped(kLoopFieldMax)).toStdString();
        m_messageBox.MessageBox(this, message, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_loopCount = static_cast<std::int32_t>(passes);
    refresh();
}

}  // namespace ravolin
