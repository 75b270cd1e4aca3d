#include "gui/pages/interpreted_page.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/app/text_names.h"
#include "core/app/texts.h"
#include "core/eeprom/interpreted_view.h"

namespace tornavo {

namespace {

// Where the general fields sit: two to a line where captions and boxes are short, then one
// to a line under aligned captions.
const char* const kPairedLines[][2] = {
    {"Versión del Software :", "Pais :"},
    {"Último canal visto :", "Provider ID :"},
    {"Sistema de color :", "Luminosidad :"},
    {"Código del pais :", "Diseqc :"},
};
const char* const kSingleLines[] = {
    "Provider ID para ordenar canales :",  "Idioma del audio primario :",
    "Idioma del audio secundario :",       "Idioma de subtítulos :",
    "Número de serie del decodificador :", "EPG :",
};
// Lines of their own: the longest caption, and the longest raw box.
const char* const kWideLines[] = {"Modo de arranque del decodificador :", "Secciones activas :"};

int GeneralField(const char* name) {
  for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
    const FieldDescriptor& d = InterpretedView::Field(f);
    if (d.record == 0 && QString::fromUtf8(d.name) == QString::fromUtf8(name)) return f;
  }
  return -1;
}

QLineEdit* HexBox(int digits, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  box->setFont(fixed);
  box->setMaxLength(digits);
  // As tall as the other boxes of its line, whatever the fixed-pitch font's height.
  box->setFixedHeight(QLineEdit().sizeHint().height());
  box->setFixedWidth(QFontMetrics(fixed).horizontalAdvance(QString(digits, '0')) + 8);
  return box;
}

}  // namespace

InterpretedPage::InterpretedPage(InterpretedView& view, const Texts& texts, QWidget* parent)
    : QWidget(parent), view_(view), texts_(texts), controls_(InterpretedView::FieldCount()) {
  auto* content = new QWidget;
  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(4, 2, 4, 2);
  column->setSpacing(3);

  // The two satellite records side by side, one caption and one control per line.
  auto* records = new QHBoxLayout;
  for (int r = 0; r < 2; ++r) {
    satellite_[r] = new QGroupBox(content);
    auto* grid = new QGridLayout(satellite_[r]);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(1);
    int line = 0;
    for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
      if (InterpretedView::Field(f).record != r + 1) continue;
      QWidget* control = BuildField(f, satellite_[r]);
      grid->addWidget(controls_[f].label, line, 0);
      grid->addWidget(control, line, 1);
      ++line;
    }
    grid->setColumnStretch(1, 1);
    records->addWidget(satellite_[r], 1);
  }
  column->addLayout(records);

  auto* paired = new QGridLayout;
  paired->setVerticalSpacing(1);
  paired->setHorizontalSpacing(6);
  for (int line = 0; line < static_cast<int>(std::size(kPairedLines)); ++line) {
    for (int half = 0; half < 2; ++half) {
      const int f = GeneralField(kPairedLines[line][half]);
      QWidget* control = BuildField(f, content);
      paired->addWidget(controls_[f].label, line, 3 * half);
      paired->addWidget(control, line, 3 * half + 1);
    }
  }
  paired->setColumnMinimumWidth(2, 2);
  paired->setColumnStretch(5, 1);
  column->addLayout(paired);

  auto* single = new QGridLayout;
  single->setVerticalSpacing(1);
  single->setHorizontalSpacing(6);
  int line = 0;
  for (const char* name : kSingleLines) {
    const int f = GeneralField(name);
    QWidget* control = BuildField(f, content);
    single->addWidget(controls_[f].label, line, 0);
    single->addWidget(control, line, 1);
    ++line;
  }
  single->setColumnStretch(1, 1);
  column->addLayout(single);

  for (const char* name : kWideLines) {
    auto* wide = new QHBoxLayout;
    wide->setSpacing(6);
    const int f = GeneralField(name);
    QWidget* control = BuildField(f, content);
    wide->addWidget(controls_[f].label);
    wide->addWidget(control, 1);
    column->addLayout(wide);
  }
  column->addStretch(1);

  // Scrolls only if the window is made smaller than its default size.
  auto* scroll = new QScrollArea(this);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(content);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll);

  connect(&view_, &InterpretedView::Refreshed, this, &InterpretedPage::ShowAll);
  connect(&view_, &InterpretedView::FieldChanged, this, &InterpretedPage::ShowField);
  ApplyTexts();
}

QWidget* InterpretedPage::BuildField(int field, QWidget* parent) {
  const FieldDescriptor& d = InterpretedView::Field(field);
  Controls& c = controls_[field];
  c.label = new QLabel(parent);
  auto* holder = new QWidget(parent);
  auto* row = new QHBoxLayout(holder);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(4);

  switch (d.kind) {
    case FieldKind::kName:
      c.list = new QComboBox(holder);
      c.list->setEditable(true);
      c.list->setInsertPolicy(QComboBox::NoInsert);
      c.box = c.list->lineEdit();
      c.box->setMaxLength(d.max_length);
      break;
    case FieldKind::kPlainList:
    case FieldKind::kOtherList:
      c.list = new QComboBox(holder);
      break;
    case FieldKind::kNumber:
    case FieldKind::kDigits:
      c.box = new QLineEdit(holder);
      c.box->setMaxLength(d.max_length);
      c.box->setFixedWidth(c.box->fontMetrics().horizontalAdvance(QString(d.max_length, '0')) + 10);
      break;
  }
  if (c.list) {
    c.list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row->addWidget(c.list, d.kind == FieldKind::kName ? 1 : 0);
    connect(c.list, &QComboBox::activated, this, [this, field](int index) {
      view_.SelectEntry(field, index);
      ShowField(field);
    });
  }
  if (c.box) {
    if (!c.list) row->addWidget(c.box);
    connect(c.box, &QLineEdit::textEdited, this, [this, field](const QString& text) {
      const QString shown = view_.EditText(field, text);
      if (shown != text) controls_[field].box->setText(shown);
    });
    c.box->installEventFilter(this);
  }
  if (d.raw_width > 0) {
    c.raw = HexBox(d.raw_width, holder);
    row->addWidget(c.raw);
    if (d.kind == FieldKind::kOtherList) {
      connect(c.raw, &QLineEdit::textEdited, this, [this, field](const QString& text) {
        const QString shown = view_.EditRaw(field, text);
        if (shown != text) controls_[field].raw->setText(shown);
      });
      c.raw->installEventFilter(this);
    } else {
      c.raw->setReadOnly(true);
      c.raw->setEnabled(false);
    }
  }
  if (d.kind != FieldKind::kName) row->addStretch(1);
  return holder;
}

void InterpretedPage::ApplyTexts() {
  satellite_[0]->setTitle(texts_.Key(text_key::kSatelite1));
  satellite_[1]->setTitle(texts_.Key(text_key::kSatelite2));
  for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
    Controls& c = controls_[f];
    c.label->setText(view_.Caption(f));
    if (c.list) {
      const QSignalBlocker block(c.list);
      const QString text = c.list->currentText();
      c.list->clear();
      c.list->addItems(view_.Entries(f));
      if (c.box) c.list->setEditText(text);
    }
  }
  ShowAll();
}

void InterpretedPage::ShowAll() {
  for (int f = 0; f < InterpretedView::FieldCount(); ++f) ShowField(f);
}

void InterpretedPage::ShowField(int field) {
  const FieldDescriptor& d = InterpretedView::Field(field);
  const FieldState& s = view_.state(field);
  const Controls& c = controls_[field];
  if (c.list) {
    const QSignalBlocker block(c.list);
    c.list->setCurrentIndex(s.index);
  }
  if (c.box) {
    const QSignalBlocker block(c.box);
    c.box->setText(s.text);
    c.box->setCursorPosition(0);  // a long name shows from its start
  }
  if (c.raw) {
    const QSignalBlocker block(c.raw);
    c.raw->setText(s.raw);
    if (d.kind == FieldKind::kOtherList) c.raw->setEnabled(s.raw_enabled);
  }
}

bool InterpretedPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    // Focus that goes to a menu or another window comes back: the user has not left yet.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) Leave(watched);
  } else if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) Leave(watched);
  }
  return QWidget::eventFilter(watched, event);
}

void InterpretedPage::Leave(QObject* watched) {
  for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
    if (watched == controls_[f].box) {
      view_.LeaveText(f);
      return;
    }
    if (watched == controls_[f].raw) {
      view_.LeaveRaw(f);
      return;
    }
  }
}

}  // namespace tornavo
