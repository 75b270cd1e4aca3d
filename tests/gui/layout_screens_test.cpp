// Every page and dialog at the smallest, the default and a large window size, with the
// built-in texts, with texts half as long again and in English: every button stays inside the
// window and every caption is whole.
// With TORNAVO_SHOTS_DIR set, each view is also saved there as a picture to look at.

#include <QAbstractScrollArea>

#include "core/settings/shipped_languages.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

// Each text made half as long again, its ending (" :", "...") kept where it was; filters and
// empty texts stay as they are.
void LengthenTexts(Texts& texts) {
  for (int key = 0; key < kKeyCount; ++key) {
    QString text = texts.Key(key);
    if (text.trimmed().isEmpty() || text.contains(QLatin1Char('|'))) continue;
    int end = static_cast<int>(text.size());
    while (end > 0 && !text[end - 1].isLetterOrNumber()) --end;
    const QString core = text.left(end);
    text.insert(end, core.left(std::max<qsizetype>(1, text.size() / 2)));
    texts.Set(key, text);
  }
}

// Buttons that are not inside something that scrolls must lie inside the window, whole: as
// large as they need and inside the group or panel that holds them (a radio button squeezed
// into a group too low for it is cut).
void ExpectButtonsReachable(QWidget* window, QWidget* shown, const QString& where) {
  const QRect inside = window->rect();
  for (QAbstractButton* button : shown->findChildren<QAbstractButton*>()) {
    if (!button->isVisibleTo(window) || button->text().isEmpty()) continue;
    bool scrolls = false;
    for (QWidget* w = button->parentWidget(); w && w != window; w = w->parentWidget())
      scrolls = scrolls || qobject_cast<QAbstractScrollArea*>(w);
    if (scrolls) continue;
    const std::string name = where.toStdString() + ": " + button->text().toStdString();
    const QRect place(button->mapTo(window, QPoint(0, 0)), button->size());
    EXPECT_TRUE(inside.contains(place)) << name;
    EXPECT_GE(button->height(), button->minimumSizeHint().height()) << name;
    EXPECT_TRUE(button->parentWidget()->rect().contains(button->geometry())) << name;
  }
  // Groups of choices or values are as tall as their contents need.
  for (QGroupBox* group : shown->findChildren<QGroupBox*>()) {
    if (!group->isVisibleTo(window)) continue;
    EXPECT_GE(group->height(), group->minimumSizeHint().height())
        << where.toStdString() << ": " << group->title().toStdString();
  }
}

// Captions that do not wrap are shown whole.
void ExpectLabelsWhole(QWidget* shown, const QString& where) {
  for (QLabel* label : shown->findChildren<QLabel*>()) {
    if (!label->isVisible() || label->wordWrap() || label->text().isEmpty()) continue;
    EXPECT_GE(label->width(), label->sizeHint().width())
        << where.toStdString() << ": " << label->text().toStdString();
  }
}

// The built-in texts, each half as long again, or the English language file that comes with
// the program, chosen as a first start in an English locale chooses it.
enum class Wording { kBuiltIn, kLonger, kEnglish };

struct Case {
  QSize size;
  Wording wording;
  QString Name() const {
    const char* suffix[] = {"", "-long", "-english"};
    return QStringLiteral("%1x%2%3")
        .arg(size.width())
        .arg(size.height())
        .arg(QString::fromLatin1(suffix[static_cast<int>(wording)]));
  }
};

class LayoutScreensTest : public ::testing::TestWithParam<Case> {};

TEST_P(LayoutScreensTest, EveryPageAndDialogKeepsItsButtonsReachable) {
  const Case c = GetParam();
  QTemporaryDir settings;
  QString error;
  if (c.wording == Wording::kEnglish) {
    ASSERT_TRUE(InstallShippedLanguages(settings.path() + '/', TORNAVO_SHARE_DIR "/", true, &error))
        << error.toStdString();
  }
  WindowOptions options;
  options.ini_dir = settings.path();
  testing::WindowUnderTest w(std::move(options));
  TForm1& window = *w.window;
  window.config_page();
  if (c.wording == Wording::kEnglish) {
    ASSERT_EQ(window.qt_language(), "en");
  }
  if (c.wording == Wording::kLonger) {
    LengthenTexts(window.services().texts);
    window.ApplyTexts();
  }
  window.resize(c.size);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.resize(c.size);
  QCoreApplication::processEvents();
  ASSERT_EQ(window.size(), c.size);
  for (int i = 0; i < window.pages()->count(); ++i) {
    window.pages()->setCurrentIndex(i);
    // Twice: the grids settle their columns once their scroll bars have come or gone.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const QString name = c.Name() + QStringLiteral("-page%1").arg(i);
    ExpectButtonsReachable(&window, window.pages()->widget(i), name);
    ExpectLabelsWhole(window.pages()->widget(i), name);
    testing::SaveShot(&window, name);
  }
  window.pages()->setCurrentIndex(static_cast<int>(Page::kEeprom));
  window.eeprom_page()->inner_pages()->setCurrentIndex(1);
  QCoreApplication::processEvents();
  testing::SaveShot(&window, c.Name() + QStringLiteral("-page0-fields"));
  ExpectLabelsWhole(window.eeprom_page(), c.Name() + QStringLiteral("-page0-fields"));
  window.pages()->setCurrentIndex(static_cast<int>(Page::kTuning));
  auto* tuning_inner = window.tuning_page()->findChild<QTabWidget*>();
  ASSERT_NE(tuning_inner, nullptr);
  tuning_inner->setCurrentIndex(1);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  testing::SaveShot(&window, c.Name() + QStringLiteral("-page4-transponders"));

  if (c.size != QSize(736, 657)) return;
  // The dialogs at their remembered (here: smallest stored) sizes.
  TuningPage* tuning = window.tuning_page();
  for (QDialog* dialog : {static_cast<QDialog*>(tuning->channel_dialog()),
                          static_cast<QDialog*>(tuning->transponder_dialog()),
                          static_cast<QDialog*>(tuning->section_dialog()),
                          static_cast<QDialog*>(tuning->search_dialog())}) {
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    QCoreApplication::processEvents();
    const QString name = c.Name() + QStringLiteral("-dialog-") +
                         QString::fromLatin1(dialog->metaObject()->className());
    ExpectButtonsReachable(dialog, dialog, name);
    ExpectLabelsWhole(dialog, name);
    testing::SaveShot(dialog, name);
    dialog->hide();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LayoutScreensTest,
    ::testing::Values(Case{{736, 657}, Wording::kBuiltIn}, Case{{756, 570}, Wording::kBuiltIn},
                      Case{{1400, 950}, Wording::kBuiltIn}, Case{{736, 657}, Wording::kLonger},
                      Case{{756, 570}, Wording::kLonger}, Case{{1400, 950}, Wording::kLonger},
                      Case{{736, 657}, Wording::kEnglish}, Case{{756, 570}, Wording::kEnglish}),
    [](const ::testing::TestParamInfo<Case>& info) {
      return info.param.Name().replace('-', '_').toStdString();
    });

}  // namespace
}  // namespace tornavo
