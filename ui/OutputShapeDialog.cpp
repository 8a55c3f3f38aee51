#include "ui/OutputShapeDialog.h"

#include <algorithm>

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "conversion/RangedExpansion.h"
#include "resources/DialogTemplate.h"
#include "ui/DialogButtons.h"
#include "ui/DialogTexts.h"
#include "ui/controls/ControlHost.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/ProgramIconLoader.h"

namespace ravolin {
namespace {

static_assert(std::size(kJoinerPresets) == std::tuple_size_v<decltype(OutputShapeDialog::m_presets)>);

// A pass of the preview is bounded like the format dialog's, whatever its values hold.
constexpr std::size_t kPassMaxBytes = 64 * 1024;
constexpr std::size_t kPassWorkBytes = std::size_t{1} << 20;
constexpr std::size_t kPassWork = std::size_t{1} << 20;

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// A small field of a few lines: line breaks matter in all three texts.
QPlainTextEdit* shapeField(QWidget* parent, const std::string& value, int lines) {
    auto* field = new QPlainTextEdit(parent);
    SetWindowText(field, value);
    field->setTabChangesFocus(true);
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics metrics(field->font());
    field->setFixedHeight(metrics.lineSpacing() * lines + 2 * (field->frameWidth() + 4));
    return field;
}

// Pass `pass` of `input` alone, without the shape; false where it is too long to show.
bool onePass(const ExpansionInput& input, std::size_t pass, std::string& out) {
    ExpansionInput one = passesOf(input, pass, 1);
    ExpansionResult result = ExpandTemplate(one, kPassMaxBytes, kPassWorkBytes, kPassWork);
    out = std::move(result.text);
    return !result.limitReached;
}

}  // namespace

OutputShapeDialog::OutputShapeDialog(QWidget* parent, const ExpansionInput& input)
    : QDialog(parent), m_shown(input.shape), m_passes(std::max(0, input.loopCount)) {
    setWindowTitle(text(kShapeCaption));
    setWindowIcon(loadProgramIcon());
    // The main window's face, set before the controls measure their texts.
    setFont(fontFromLogFont(templateLogFont(*findDialogTemplate(kConverterDialogId), screenDpi())));

    if (m_passes > 0) m_firstShown = onePass(input, 0, m_firstPass);
    if (m_passes > 1) m_lastShown = onePass(input, static_cast<std::size_t>(m_passes - 1), m_lastPass);

    m_header = shapeField(this, m_shown.header, 3);
    m_joiner = shapeField(this, m_shown.joiner, 2);
    m_footer = shapeField(this, m_shown.footer, 3);
    auto* fields = new QGridLayout;
    const auto addField = [&](const char* caption, QPlainTextEdit* field, int row) {
        auto* label = new QLabel(text(caption), this);
        label->setBuddy(field);
        field->setAccessibleName(label->text().remove(QLatin1Char('&')));
        fields->addWidget(label, row, 0, Qt::AlignTop);
        fields->addWidget(field, row, 1);
    };
    addField(kShapeHeaderLabel, m_header, 0);
    addField(kShapeJoinerLabel, m_joiner, 1);
    auto* presets = new QHBoxLayout;
    presets->addWidget(new QLabel(text(kShapePresetsLabel), this));
    for (std::size_t i = 0; i < m_presets.size(); ++i) {
        m_presets[i] = new QPushButton(text(kJoinerPresets[i].caption), this);
        m_presets[i]->setAutoDefault(false);
        connect(m_presets[i], &QPushButton::clicked, this, [this, i] { choosePreset(i); });
        presets->addWidget(m_presets[i]);
    }
    presets->addStretch();
    fields->addLayout(presets, 2, 1);
    addField(kShapeFooterLabel, m_footer, 3);

    auto* previewLabel = new QLabel(text(kShapePreviewLabel), this);
    m_preview = new QPlainTextEdit(this);
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_preview->setAccessibleName(previewLabel->text().remove(QLatin1Char('&')));
    previewLabel->setBuddy(m_preview);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(previewLabel);
    layout->addWidget(m_preview, 1);
    layout->addWidget(okCancelButtons(*this));
    resize(sizeHint().expandedTo(QSize(520, 440)));

    for (QPlainTextEdit* field : {m_header, m_joiner, m_footer})
        connect(field, &QPlainTextEdit::textChanged, this, &OutputShapeDialog::refresh);
    refresh();
}

OutputShape OutputShapeDialog::shape() const {
    const auto value = [](const QPlainTextEdit* field, const std::string& shown) {
        const std::string typed = GetWindowText(field);
        return typed == fromWidgetText(toWidgetText(shown)) ? shown : typed;
    };
    return {.header = value(m_header, m_shown.header),
            .joiner = value(m_joiner, m_shown.joiner),
            .footer = value(m_footer, m_shown.footer)};
}

void OutputShapeDialog::choosePreset(std::size_t index) {
    SetWindowText(m_joiner, kJoinerPresets[index].joiner);
    m_joiner->setFocus();
}

void OutputShapeDialog::refresh() {
    const OutputShape chosen = shape();
    const auto pass = [](bool shown, const std::string& text) { return shown ? text : std::string(kShapePassTooLong); };
    std::string preview = chosen.header;
    if (m_passes > 0) preview += pass(m_firstShown, m_firstPass);
    // The passes between the first and the last are one "…", in the shape's joins.
    if (m_passes > 2) preview.append(chosen.joiner).append(kShapeEllipsis);
    if (m_passes > 1) preview.append(chosen.joiner).append(pass(m_lastShown, m_lastPass));
    preview += chosen.footer;
    m_preview->setPlainText(toWidgetText(preview));
    m_preview->setPlaceholderText(m_passes == 0 ? text(kShapeNoPass) : QString());
}

}  // namespace ravolin
