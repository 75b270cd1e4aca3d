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

#include "core/eeprom/interpreted_view.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/page_lock.h"

namespace tornavo {

namespace {

// Raw boxes of this many digits or more go under their control, not beside it.
constexpr int kRawOnItsOwnLine = 20;

// The general fields, in the order a technician reads them: the order of their addresses
// in the receiver's own listing.
const char* const kGeneralFields[] = {
    "Pais :",
    "Provider ID :",
    "Versión del Software :",
    "Provider ID para ordenar canales :",
    "Idioma del audio primario :",
    "Idioma del audio secundario :",
    "Idioma de subtítulos :",
    "Último canal visto :",
    "Secciones activas :",
    "Luminosidad :",
    "Sistema de color :",
    "Modo de arranque del decodificador :",
    "Diseqc :",
    "Código del pais :",
    "Número de serie del decodificador :",
    "EPG :",
};

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
  column->setContentsMargins(2, 2, 2, 2);
  column->setSpacing(3);

  // The two satellite records side by side under one column of captions: both records have
  // the same fields, so each line shows one field of both.
  auto* records = new QGroupBox(content);
  auto* record_grid = new QGridLayout(records);
  record_grid->setContentsMargins(3, 2, 3, 2);
  record_grid->setVerticalSpacing(1);
  record_grid->setHorizontalSpacing(4);
  for (int r = 0; r < 2; ++r) {
    satellite_[r] = new QLabel(records);
    QFont bold = satellite_[r]->font();
    bold.setBold(true);
    satellite_[r]->setFont(bold);
    record_grid->addWidget(satellite_[r], 0, r + 1);
    int line = 1;
    for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
      if (InterpretedView::Field(f).record != r + 1) continue;
      QWidget* control = BuildField(f, records);
      if (r == 0)
        record_grid->addWidget(controls_[f].label, line, 0);
      else
        controls_[f].label->hide();  // the first record's caption serves both
      record_grid->addWidget(control, line, r + 1);
      ++line;
    }
  }
  record_grid->setColumnStretch(1, 1);
  record_grid->setColumnStretch(2, 1);
  column->addWidget(records);

  // One grid: captions in the first column, values in the second.
  auto* general = new QGridLayout;
  general->setVerticalSpacing(1);
  general->setHorizontalSpacing(6);
  int line = 0;
  for (const char* name : kGeneralFields) {
    const int f = GeneralField(name);
    if (f < 0) continue;
    QWidget* control = BuildField(f, content);
    general->addWidget(controls_[f].label, line, 0);
    general->addWidget(control, line, 1);
    ++line;
  }
  general->setColumnStretch(1, 1);
  column->addLayout(general);
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
  auto* lines = new QVBoxLayout(holder);
  lines->setContentsMargins(0, 0, 0, 0);
  lines->setSpacing(1);
  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  lines->addLayout(row);

  switch (d.kind) {
    case FieldKind::kName:
      c.list = new QComboBox(holder);
      c.list->setEditable(true);
      c.list->setInsertPolicy(QComboBox::NoInsert);
      c.box = c.list->lineEdit();
      c.box->setMaxLength(d.max_length);
      // Wide enough for a whole name of average letters, and the list's arrow.
      c.list->setMinimumContentsLength(1);
      c.list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
      c.list->setMinimumWidth(c.list->fontMetrics().averageCharWidth() * d.max_length + 30);
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
    if (d.kind != FieldKind::kName) c.list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
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
    if (d.raw_width >= kRawOnItsOwnLine) {
      // Too wide beside its control: it goes on a line of its own under it.
      auto* under = new QHBoxLayout;
      under->addWidget(c.raw);
      under->addStretch(1);
      lines->addLayout(under);
    } else {
      row->addWidget(c.raw);
    }
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
  satellite_[0]->setText(texts_.Key(text_key::kSatelite1).trimmed());
  satellite_[1]->setText(texts_.Key(text_key::kSatelite2).trimmed());
  for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
    Controls& c = controls_[f];
    c.label->setText(view_.Caption(f));
    // A caption is never cut: the page scrolls sideways instead.
    c.label->setMinimumWidth(c.label->sizeHint().width());
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
    if (d.kind == FieldKind::kOtherList) PageLock::SetEnabled(c.raw, s.raw_enabled);
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
