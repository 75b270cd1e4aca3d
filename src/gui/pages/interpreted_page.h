#pragma once

#include <QWidget>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace tornavo {

class InterpretedView;
class Texts;

// The page "Datos Interpretados": the controls of every interpreted field, built from the
// field table, showing InterpretedView and handing the user's edits to its handlers.
class InterpretedPage : public QWidget {
  Q_OBJECT

 public:
  InterpretedPage(InterpretedView& view, const Texts& texts, QWidget* parent);

  void ApplyTexts();
  // Shows every field as the view holds it.
  void ShowAll();

  // The controls of field n (null where the field has none of that kind).
  QLabel* label(int field) const { return controls_[field].label; }
  QComboBox* list(int field) const { return controls_[field].list; }
  QLineEdit* box(int field) const { return controls_[field].box; }
  QLineEdit* raw(int field) const { return controls_[field].raw; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Controls {
    QLabel* label = nullptr;
    QComboBox* list = nullptr;
    QLineEdit* box = nullptr;  // decimal box, or the text part of the satellite name list
    QLineEdit* raw = nullptr;
  };

  QWidget* BuildField(int field, QWidget* parent);
  void ShowField(int field);
  void Leave(QObject* watched);

  InterpretedView& view_;
  const Texts& texts_;
  std::vector<Controls> controls_;
  QLabel* satellite_[2] = {nullptr, nullptr};
};

}  // namespace tornavo
