#include "gui/data/frmNavigate.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <utility>

#include "common/Single.h"
#include "data/CellText.h"
#include "gui/platform/FieldColours.h"
#include "gui/platform/FixedLayout.h"
#include "gui/platform/StringConversions.h"

// The title bar or Escape closes the navigator; it is built afresh at every opening anyway.
frmNavigate::frmNavigate(std::shared_ptr<const corvane::DataSet> data, QWidget* parent)
    : FixedDialog(QStringLiteral("frmNavigate"), QStringLiteral("Navigate Data File"), parent,
                  Keys::EscapeCloses, CloseBox::Closes),
      m_data(std::move(data)) {
    buildControls();
}

QString frmNavigate::columnLabel(std::int32_t column) const {
    const std::string& name = m_data->name(column);
    QString text = QStringLiteral("Column: %1").arg(column);
    if (!name.empty()) text += QStringLiteral("  ") + FromCore(name);
    return text;
}

void frmNavigate::buildControls() {
    lblRow = MakeCaptioned<QLabel>(this, "lblRow", "Row:", 3360, 120, 1095, 255);
    lblColumn = MakeCaptioned<QLabel>(this, "lblColumn", "Column:", 3360, 360, 1095, 255);
    fraNavigate = MakeFrame(this, "fraNavigate", "Navigate", 240, 840, 4335, 2295);
    // Wide enough for a labelled number, "1 (control)", between the Left and Right buttons.
    lblCell = MakeControl<QLabel>(fraNavigate, "lblCell", 1500, 1080, 1335, 255);
    FieldColours::makeField(lblCell);
    lblCell->setFrameStyle(QFrame::Box);
    lblCell->setAlignment(Qt::AlignCenter);
    cmdUp = MakeButton(fraNavigate, "cmdUp", "Up", 1560, 360, 1215, 495);
    cmdDown = MakeButton(fraNavigate, "cmdDown", "Down", 1560, 1560, 1215, 495);
    cmdRight = MakeButton(fraNavigate, "cmdRight", "Right", 2880, 960, 1215, 495);
    cmdLeft = MakeButton(fraNavigate, "cmdLeft", "Left", 240, 960, 1215, 495);
    lblNumberOfRows =
        MakeCaptioned<QLabel>(this, "lblNumberOfRows", "Number of rows: ", 360, 120, 2055, 255);
    lblNumberOfColumns = MakeCaptioned<QLabel>(this, "lblNumberOfColumns",
                                               "Number of columns:", 360, 360, 2055, 255);

    connect(cmdUp, &QPushButton::clicked, this, &frmNavigate::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmNavigate::cmdDown_Click);
    connect(cmdRight, &QPushButton::clicked, this, &frmNavigate::cmdRight_Click);
    connect(cmdLeft, &QPushButton::clicked, this, &frmNavigate::cmdLeft_Click);
    setTabOrder(cmdUp, cmdDown);
    setTabOrder(cmdDown, cmdRight);
    setTabOrder(cmdRight, cmdLeft);
    // The arrow keys press the button of their direction rather than move between buttons.
    const std::pair<Qt::Key, QPushButton*> arrows[] = {{Qt::Key_Up, cmdUp},
                                                       {Qt::Key_Down, cmdDown},
                                                       {Qt::Key_Left, cmdLeft},
                                                       {Qt::Key_Right, cmdRight}};
    for (const auto& [key, button] : arrows)
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, button,
                &QPushButton::click);

    FixWindowFrame(this, 4785, 3360);
}

bool frmNavigate::Form_Load() {
    if (!m_data->matrix().hasCell(1, 1)) return false;
    m_lngCurrentRow = 1;
    m_lngCurrentColumn = 1;
    lblNumberOfRows->setText(QStringLiteral("Number of rows: %1").arg(m_data->cases()));
    lblNumberOfColumns->setText(QStringLiteral("Number of columns: %1").arg(m_data->variables()));
    lblRow->setText(QStringLiteral("Row: 1"));
    lblColumn->setText(columnLabel(1));
    fitPositionLabels();
    showCurrentCell();
    return true;
}

void frmNavigate::fitPositionLabels() {
    const QFontMetrics m(lblColumn->font());
    int widest = m.horizontalAdvance(QStringLiteral("Row: %1").arg(m_data->cases()));
    for (std::int32_t c = 1; c <= m_data->variables(); ++c)
        widest = std::max(widest, m.horizontalAdvance(columnLabel(c)));
    widest += 2 * lblColumn->frameWidth() + 2;
    if (widest <= lblColumn->width()) return;
    // The labels grow to the right, and the window with them, keeping its margin.
    for (QLabel* label : {lblRow, lblColumn}) label->resize(widest, label->height());
    setFixedWidth(std::max(width(), lblColumn->x() + widest + Twips::toPixelsX(210)));
}

void frmNavigate::showCurrentCell() {
    const float cell = m_data->matrix().at(m_lngCurrentRow, m_lngCurrentColumn);
    lblCell->setText(corvane::IsMissing(cell)
                         ? QStringLiteral(".")
                         : FromCore(corvane::CellText(*m_data, m_lngCurrentColumn, cell)));
}

void frmNavigate::showPosition() {
    lblRow->setText(QStringLiteral("Row: %1").arg(m_lngCurrentRow));
    lblColumn->setText(columnLabel(m_lngCurrentColumn));
    showCurrentCell();
}

void frmNavigate::cmdUp_Click() {
    if (m_lngCurrentRow > 1) --m_lngCurrentRow;
    showPosition();
}

void frmNavigate::cmdDown_Click() {
    if (m_lngCurrentRow < m_data->cases()) ++m_lngCurrentRow;
    showPosition();
}

void frmNavigate::cmdLeft_Click() {
    if (m_lngCurrentColumn > 1) --m_lngCurrentColumn;
    showPosition();
}

void frmNavigate::cmdRight_Click() {
    if (m_lngCurrentColumn < m_data->variables()) ++m_lngCurrentColumn;
    showPosition();
}
