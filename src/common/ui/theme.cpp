#include "common/ui/theme.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>
#include <QWidget>

#include <cmath>

namespace trivo::theme {

namespace {

bool forcedDark = false;

double luminance(const QColor& c)
{
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

}  // namespace

Variant current()
{
    if (forcedDark)
        return Variant::Dark;
    const QColor window = QApplication::palette().color(QPalette::Window);
    return window.lightness() < 128 ? Variant::Dark : Variant::Light;
}

void forceDark(QApplication& app)
{
    forcedDark = true;
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230), disabled(130, 130, 130);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(255, 110, 110));
    p.setColor(QPalette::Link, QColor(110, 170, 255));
    p.setColor(QPalette::Highlight, QColor(60, 120, 210));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, disabled);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    app.setPalette(p);
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void paint(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette p = widget->palette();
    if (background.isValid()) {
        p.setColor(QPalette::Window, background);
        p.setColor(QPalette::Base, background);
        p.setColor(QPalette::Button, background);
        widget->setAutoFillBackground(true);
    }
    if (text.isValid()) {
        p.setColor(QPalette::WindowText, text);
        p.setColor(QPalette::Text, text);
        p.setColor(QPalette::ButtonText, text);
    }
    widget->setPalette(p);
}

void paint(QWidget* widget, const Face& face) { paint(widget, face.background.get(), face.text.get()); }

QString styleRule(const QString& selector, const Face& face, const Pair* border, int width)
{
    QString rule = QStringLiteral("%1 { background: %2; color: %3;")
                       .arg(selector, face.background.get().name(), face.text.get().name());
    rule += border ? QStringLiteral(" border: %1px solid %2; }").arg(width).arg(border->get().name())
                   : QStringLiteral(" border: none; }");
    return rule;
}

}  // namespace trivo::theme
