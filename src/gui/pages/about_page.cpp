#include "gui/pages/about_page.h"

#include <QFrame>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

namespace {

constexpr int kStepMs = 40;

// The list of contributors: pairs of a heading and who it thanks.
constexpr int kContributorKeys[] = {text_key::kDisenoYDesarrollo,
                                    text_key::kElEquipoDeTornavo,
                                    text_key::kPruebasEnDecodificadores,
                                    text_key::kTecnicosDelTallerDe,
                                    text_key::kTraducciones,
                                    text_key::kLaComunidadDeUsuarios,
                                    text_key::kInformesDeErrores,
                                    text_key::kTodosLosQueEscribieron};

QString ContributorsText(const Texts& t) {
  // Blank lines before and after let the list enter and leave the view.
  const QString blanks(6, u'\n');
  QStringList pairs;
  for (size_t i = 0; i + 1 < std::size(kContributorKeys); i += 2)
    pairs << t.Key(kContributorKeys[i]) + u'\n' + t.Key(kContributorKeys[i + 1]);
  return blanks + pairs.join(QStringLiteral("\n\n")) + blanks;
}

}  // namespace

AboutPage::AboutPage(AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFixedSize(460, 360);
  version_ = new QLabel(QStringLiteral("Tornavo v4.0 (FINAL)"), panel);
  QFont big = version_->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  version_->setFont(big);
  version_->setAlignment(Qt::AlignCenter);
  thanks_ = new QLabel(panel);
  thanks_->setWordWrap(true);
  thanks_->setAlignment(Qt::AlignCenter);
  scroller_ = new QScrollArea(panel);
  scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroller_->setWidgetResizable(true);
  contributors_ = new QLabel(scroller_);
  contributors_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  scroller_->setWidget(contributors_);
  requests_ = new QLabel(panel);
  requests_->setWordWrap(true);
  requests_->setAlignment(Qt::AlignCenter);
  forum_ = new QLabel(panel);
  forum_->setAlignment(Qt::AlignCenter);

  auto* inner = new QVBoxLayout(panel);
  inner->addWidget(version_);
  inner->addWidget(thanks_);
  inner->addWidget(scroller_, 1);
  inner->addWidget(requests_);
  inner->addWidget(forum_);

  auto* outer = new QVBoxLayout(this);
  outer->addStretch(1);
  outer->addWidget(panel, 0, Qt::AlignHCenter);
  outer->addStretch(1);

  timer_ = new QTimer(this);
  timer_->setInterval(kStepMs);
  connect(timer_, &QTimer::timeout, this, &AboutPage::ScrollOneStep);
  ApplyTexts();
}

void AboutPage::ApplyTexts() {
  const Texts& t = services_.texts;
  thanks_->setText(t.Key(text_key::kProgramaRealizadoGraciasALas));
  requests_->setText(t.Key(text_key::kLasPeticionesInformesDeErrores));
  forum_->setText(t.Key(text_key::kEnForoTornavoExample));
  contributors_->setText(ContributorsText(t));
}

bool AboutPage::scrolling() const { return timer_->isActive(); }
int AboutPage::scroll_position() const { return scroller_->verticalScrollBar()->value(); }

void AboutPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  timer_->start();
}

void AboutPage::hideEvent(QHideEvent* event) {
  timer_->stop();
  QWidget::hideEvent(event);
}

void AboutPage::ScrollOneStep() {
  QScrollBar* bar = scroller_->verticalScrollBar();
  bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + 1);
}

}  // namespace tornavo
