#include "ui/caption_fit.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

#include "ui/wrapping_radio_button.h"

namespace ui {

namespace {

// A font gives up twelve steps at the most to fit, each a quarter point (or a pixel).
constexpr int kMostSteps = 12;
// Ink is measured in whole pixels, and rows a twip-rounded pixel apart only touch: a line may reach
// a pixel above or below its rectangle, and a control beside it must cover more of its height.
constexpr double kTouch = 1;

QString Caption(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  return {};
}

Qt::Alignment CaptionAlignment(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->alignment();
  if (qobject_cast<const QPushButton*>(control)) return Qt::AlignCenter;
  return Qt::AlignLeft | Qt::AlignVCenter;
}

bool Fits(const QWidget* control, const QFont& font) {
  const QList<QRectF> ink = CaptionInk(control, font);
  const QRectF room = QRectF(CaptionRect(control)).adjusted(0, -kTouch, 0, kTouch);
  return !ink.isEmpty() && std::all_of(ink.begin(), ink.end(), [&](const QRectF& line) {
    return room.contains(line) &&
           line.right() <= CaptionRightEnd(control, line.top(), line.bottom());
  });
}

QFont Smaller(QFont font) {
  if (font.pointSizeF() > 0) {
    font.setPointSizeF(font.pointSizeF() - 0.25);
  } else {
    font.setPixelSize(font.pixelSize() - 1);
  }
  return font;
}

// A style sheet's colour holds for every state of a control unless it names one; where disabled
// controls come out in the colour of enabled ones, the window asks for a grey halfway between its
// text and its background.
void GreyDisabled(QWidget* window) {
  if (qApp->styleSheet().isEmpty()) return;
  const auto ungreyed = [](const QWidget* w) {
    const QPalette& palette = w->palette();
    return palette.color(QPalette::Disabled, w->foregroundRole()) ==
           palette.color(QPalette::Active, w->foregroundRole());
  };
  const QList<QWidget*> controls = window->findChildren<QWidget*>();
  if (!std::any_of(controls.begin(), controls.end(), ungreyed)) return;
  const QColor text = window->palette().color(QPalette::Active, QPalette::WindowText);
  const QColor back = window->palette().color(QPalette::Active, QPalette::Window);
  const QColor grey =
      QColor::fromRgbF((text.redF() + back.redF()) / 2, (text.greenF() + back.greenF()) / 2,
                       (text.blueF() + back.blueF()) / 2);
  window->setStyleSheet(QStringLiteral("*:disabled { color: %1; }").arg(grey.name()));
}

}  // namespace

QRect CaptionRect(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->contentsRect();
  QStyleOptionButton option;
  option.initFrom(control);
  option.text = Caption(control);
  QStyle::SubElement contents = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QCheckBox*>(control)) contents = QStyle::SE_CheckBoxContents;
  if (qobject_cast<const QRadioButton*>(control)) contents = QStyle::SE_RadioButtonContents;
  if (const auto* push = qobject_cast<const QPushButton*>(control)) {
    if (push->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    if (push->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
  }
  return control->style()->subElementRect(contents, &option, control);
}

QList<QRectF> CaptionInk(const QWidget* control, const QFont& font) {
  const auto* wrapping = qobject_cast<const WrappingRadioButton*>(control);
  const QStringList lines = wrapping ? wrapping->Lines(font) : QStringList{Caption(control)};
  if (lines.isEmpty()) return {};
  // Laid out as QPainter::drawText lays out lines in a rectangle.
  const QFontMetricsF metrics(font);
  const QRectF room = CaptionRect(control);
  const Qt::Alignment align = CaptionAlignment(control);
  const double height =
      metrics.height() + static_cast<double>(lines.size() - 1) * metrics.lineSpacing();
  double top = room.top() + (room.height() - height) / 2;
  if (align & Qt::AlignTop) top = room.top();
  if (align & Qt::AlignBottom) top = room.bottom() - height;
  QList<QRectF> ink;
  for (const QString& line : lines) {
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    const QString shown = QString(line).replace(mnemonic, QStringLiteral("\\1"));
    const double width = metrics.horizontalAdvance(shown);
    double left = room.left();
    if (align & Qt::AlignRight) left = room.right() - width;
    if (align & Qt::AlignHCenter) left = room.left() + (room.width() - width) / 2;
    ink << metrics.tightBoundingRect(shown).translated(left, top + metrics.ascent());
    top += metrics.lineSpacing();
  }
  return ink;
}

double CaptionRightEnd(const QWidget* control, double top, double bottom) {
  const QRectF room = CaptionRect(control);
  double right = room.right();
  const QWidget* parent = control->parentWidget();
  for (const QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRectF place = QRectF(other->geometry()).translated(-control->pos());
    if (other != control && !other->isHidden() && place.left() > room.left() &&
        place.top() + kTouch < bottom && top + kTouch < place.bottom()) {
      right = std::min(right, place.left());
    }
  }
  return right;
}

void FitCaptions(QWidget* window) {
  window->ensurePolished();
  GreyDisabled(window);
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (Caption(control).isEmpty()) continue;
    QFont font = control->font();
    for (int step = 0; step < kMostSteps && !Fits(control, font); ++step) font = Smaller(font);
    if (font != control->font()) control->setFont(font);
  }
}

}  // namespace ui
