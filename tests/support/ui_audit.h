#pragma once
// A window looked at as an operator with a small screen, a keyboard or a screen reader meets it: widgets
// drawn over one another or past their parent, texts cut, controls off the screen, controls without a
// name (or with another's), controls only the mouse can work, access letters used twice. Generic: it
// knows no window of the program, only Qt's widgets. Each finding is counted and told in one line.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QSizeGrip>
#include <QStyleOption>
#include <QWidgetAction>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>

#include "common/language.h"

namespace trivo::test {

class UiAudit {
public:
    enum Kind { Overlap, OutsideParent, CutText, OutOfReach, Nameless, MouseOnly, Mnemonic, French, kKinds };
    static constexpr std::array<const char*, kKinds> kNames{
        "overlaps", "children outside their parent", "cut texts", "controls out of reach",
        "nameless controls", "mouse-only controls", "duplicate mnemonics", "texts left in French"};

    std::array<int, kKinds> counts{};
    // Each finding as "kind: window/path/of/names", in the order found.
    QStringList findings;
    // Pairs of access letters the program was given and keeps (Qt cycles between them).
    QList<QStringList> givenClashes;
    // The windows are in English: a text still in French is counted.
    bool english = false;

    // Everything but the mouse probe, on `root` as it is shown now; sub-windows of an MDI area inside it
    // are windows of their own and left out.
    void window(QWidget* root, const QString& scene)
    {
        scene_ = scene;
        root_ = root;
        QList<QWidget*> controls;
        letters_.clear();
        walk(root, controls);
        QHash<QString, QWidget*> names;
        for (QWidget* w : controls) {
            if (!reachable(w))
                add(OutOfReach, w, QStringLiteral("not wholly on the screen at %1").arg(rectText(globalRect(w))));
            // The parts of Qt's own inside a control (a number box's editor) are listed to assistive
            // technologies as controls of their own: each must carry a name.
            for (const QString& part : namelessParts(w))
                add(Nameless, w, QStringLiteral("shows assistive technologies its part %1 without a name").arg(part));
            if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy())
                continue;
            const QString name = accessibleName(w).trimmed();
            if (name.isEmpty())
                add(Nameless, w, QStringLiteral("has no accessible name"));
            else if (QWidget* other = names.value(name.toCaseFolded()))
                add(Nameless, w, QStringLiteral("is named \"%1\" like %2").arg(name, describe(other)));
            else
                names.insert(name.toCaseFolded(), w);
        }
        duplicates(letters_, describe(root));
        if (english) {
            QList<QWidget*> all;
            walk(root, all, false);
            french(root, root->windowTitle());
            for (QWidget* w : all)
                for (const QString& text : shownTexts(w))
                    french(w, text);
        }
    }

    // The access letters of a menu bar, of each of its menus and of their submenus.
    void menus(QMenuBar* bar, const QString& scene)
    {
        scene_ = scene;
        std::function<void(const QList<QAction*>&, const QString&)> one = [&](const QList<QAction*>& actions,
                                                                              const QString& where) {
            QList<QPair<QString, QString>> letters;
            for (QAction* a : actions) {
                if (a->isSeparator() || !a->isVisible() || qobject_cast<QWidgetAction*>(a))
                    continue;
                if (const QChar letter = mnemonic(a->text()); !letter.isNull())
                    letters.append({letter, a->text()});
                if (english)
                    french(bar, a->text());
                if (a->menu())
                    one(a->menu()->actions(), where + QStringLiteral(" > ") + QString(a->text()).remove('&'));
            }
            duplicates(letters, where);
        };
        one(bar->actions(), QStringLiteral("menu bar"));
    }

    // Controls that work with the mouse and nothing else: a press taken (by the widget or an event filter
    // on it) by a widget the keyboard never reaches. A window that takes the focus itself stands for the
    // pictures in it, as a splash does; a size grip is the window manager's. Pressed, then released away
    // from the widget so that no click is made; what a press starts is the caller's to wait for.
    void mouseProbe(QWidget* root, const QString& scene)
    {
        scene_ = scene;
        root_ = root;
        if (root->focusPolicy() & Qt::TabFocus)
            return;
        QList<QWidget*> all;
        walk(root, all, false);
        QList<QPointer<QWidget>> candidates;
        for (QWidget* w : all)
            if (!(w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && !qobject_cast<QMdiSubWindow*>(w)
                && !qobject_cast<QMenuBar*>(w) && !qobject_cast<QSizeGrip*>(w))
                candidates << w;
        for (const QPointer<QWidget>& w : candidates) {
            if (!w || !w->isVisible() || !w->isEnabled())
                continue;
            const bool stopped = w->testAttribute(Qt::WA_NoMousePropagation);
            w->setAttribute(Qt::WA_NoMousePropagation);
            const QPointF centre = QRectF(w->rect()).center();
            QMouseEvent press(QEvent::MouseButtonPress, centre, w->mapToGlobal(centre), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            const bool taken = QApplication::sendEvent(w, &press) && press.isAccepted();
            if (w) {
                const QPointF away(-10, -10);
                QMouseEvent release(QEvent::MouseButtonRelease, away, w->mapToGlobal(away), Qt::LeftButton,
                                    Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(w, &release);
                if (w)
                    w->setAttribute(Qt::WA_NoMousePropagation, stopped);
            }
            if (taken && w)
                add(MouseOnly, w, QStringLiteral("takes a mouse press but never the keyboard focus"));
        }
    }

    // The counts, one line each, as the test ends.
    void print() const
    {
        std::printf("\nUI audit counts:\n");
        for (int k = 0; k < kKinds; ++k)
            std::printf("  %-30s %d\n", kNames[std::size_t(k)], counts[std::size_t(k)]);
        std::fflush(stdout);
    }

    // The parts of Qt's own inside `w` that have an accessible interface of their own, focusable or
    // editable, with no name: what they tell (a number box's editor its text and caret) comes from a
    // nameless object.
    static QStringList namelessParts(QWidget* w)
    {
        QStringList parts;
        for (QWidget* part : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!qtPart(part) || !part->isVisible() || part->isWindow())
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(part);
            if (!face)
                continue;
            const QAccessible::State state = face->state();
            if ((state.focusable || state.editable) && face->text(QAccessible::Name).trimmed().isEmpty())
                parts << part->objectName();
        }
        return parts;
    }

private:
    // The texts a widget shows or tells a screen reader.
    static QStringList shownTexts(QWidget* w)
    {
        QStringList texts{w->accessibleName(), w->accessibleDescription(), w->toolTip()};
        if (auto* l = qobject_cast<QLabel*>(w))
            texts << l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            texts << b->text();
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            texts << g->title();
        else if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
        return texts;
    }

    // A text of the translation files shown as it stands, or one with letters or little words English
    // does not use.
    void french(QWidget* w, const QString& text)
    {
        static const QString kFrenchLetters = QStringLiteral("éèêëàâùûçôîïœÉÈÊÀÇ«»");
        static const QRegularExpression kFrenchWords(
            QStringLiteral("\\b(le|la|les|des|du|une|et|pour|avec|sur|dans|au|aux|est|pas|vous|annuler|fermer|"
                           "ouvrir|enregistrer|quitter|lire|ecrire|envoyer|effacer|oui|fichier|afficheur|"
                           "ecran|valider|choisir|arreter)\\b"),
            QRegularExpression::CaseInsensitiveOption);
        const QString plain = QString(text).remove(QLatin1Char('&')).trimmed();
        if (plain.isEmpty())
            return;
        const bool french = T(text) != text || plain.contains(kFrenchWords)
                            || std::any_of(plain.begin(), plain.end(), [](QChar c) { return kFrenchLetters.contains(c); });
        if (french)
            add(French, w, QStringLiteral("shows \"%1\"").arg(plain.left(60)));
    }

    // A widget of Qt's own making inside a composite one (a scroll area's bars, a spin box's edit); not a
    // scroll area's viewport, which holds what the window shows there.
    static bool qtPart(const QWidget* w)
    {
        auto* area = qobject_cast<const QAbstractScrollArea*>(w->parentWidget());
        return !(area && area->viewport() == w) && w->objectName().startsWith(QLatin1String("qt_"));
    }

    // The visible widgets under root (root included), their geometry checked on the way; only the controls
    // (focusable, buttons, or taking clicks under a hand cursor) are returned unless `controlsOnly` is off.
    void walk(QWidget* parent, QList<QWidget*>& out, bool controlsOnly = true)
    {
        if (parent == root_ && (!controlsOnly || isControl(parent)))
            out << parent;
        QList<QWidget*> shown;
        for (QObject* o : parent->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w->isWindow() || !w->isVisible() || qtPart(w))
                continue;
            if (qobject_cast<QMdiSubWindow*>(w))
                continue;
            shown << w;
            if (!controlsOnly || isControl(w))
                out << w;
            if (controlsOnly) {
                if (const QChar letter = mnemonic(ownText(w)); !letter.isNull())
                    letters_.append({letter, ownText(w)});
                if (!parent->rect().contains(w->geometry()) && !scrolls(parent))
                    add(OutsideParent, w, QStringLiteral("at %1 in %2 of %3").arg(rectText(w->geometry()),
                                                                                 rectText(parent->rect()),
                                                                                 describe(parent)));
                cutText(w);
            }
            walk(w, out, controlsOnly);
        }
        if (!controlsOnly)
            return;
        for (int i = 0; i < shown.size(); ++i)
            for (int j = i + 1; j < shown.size(); ++j)
                if (shown[i]->geometry().intersects(shown[j]->geometry()))
                    add(Overlap, shown[j], QStringLiteral("lies over %1").arg(describe(shown[i])), shown[i]);
    }

    static bool isControl(QWidget* w)
    {
        return (w->focusPolicy() & Qt::TabFocus) || qobject_cast<QAbstractButton*>(w)
            || (w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::PointingHandCursor);
    }

    // The viewport of a scroll area that can scroll there: what lies past it is reached by scrolling.
    static bool scrolls(QWidget* w)
    {
        auto* area = qobject_cast<QAbstractScrollArea*>(w->parentWidget());
        return area && area->viewport() == w
            && (area->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff
                || area->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
    }

    static QRect globalRect(QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

    // Wholly inside every ancestor up to its window and the window on the screen's available area; a
    // scroll area that can scroll brings what it holds into view.
    static bool reachable(QWidget* w)
    {
        QRect seen = globalRect(w);
        const QRect whole = seen;
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
            if (scrolls(p)) {
                seen = QRect(seen.topLeft(), seen.size().boundedTo(p->size()));
                seen.moveTopLeft(globalRect(p).topLeft());
                continue;
            }
            seen &= globalRect(p);
            if (p->isWindow())
                break;
        }
        const QScreen* screen = w->window()->screen();
        if (screen)
            seen &= screen->availableGeometry();
        return seen.size() == whole.size();
    }

    static QString accessibleName(QWidget* w)
    {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        return face ? face->text(QAccessible::Name) : w->accessibleName();
    }

    // The caption that may carry an access letter: a button's, a group's, a label's that names a control.
    static QString ownText(const QWidget* w)
    {
        if (auto* b = qobject_cast<const QAbstractButton*>(w))
            return b->text();
        if (auto* g = qobject_cast<const QGroupBox*>(w))
            return g->title();
        if (auto* l = qobject_cast<const QLabel*>(w); l && l->buddy())
            return l->text();
        return {};
    }

    // The letter after a single '&' ("&&" is an ampersand), in lower case; null when none.
    static QChar mnemonic(const QString& text)
    {
        for (int i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != QLatin1Char('&'))
                continue;
            if (text[i + 1] != QLatin1Char('&'))
                return text[i + 1].toLower();
            ++i;
        }
        return {};
    }

    void duplicates(const QList<QPair<QString, QString>>& letters, const QString& where)
    {
        QHash<QString, QString> seen;
        for (const auto& [letter, text] : letters) {
            if (!seen.contains(letter)) {
                seen.insert(letter, text);
                continue;
            }
            if (givenClashes.contains(QStringList{seen.value(letter), text}))
                continue;
            ++counts[Mnemonic];
            findings << QStringLiteral("%1: %2: %3").arg(kNames[Mnemonic], where, QString(text).remove(QLatin1Char('&')));
            std::printf("  %s: %s: \"%s\" has the access letter of \"%s\"\n", qPrintable(scene_),
                        qPrintable(where), qPrintable(text), qPrintable(seen.value(letter)));
        }
    }

    // A caption wider or taller than the room its widget gives it (a list box's choice included); a
    // word-wrapped label by its height.
    void cutText(QWidget* w)
    {
        const QFontMetrics fm = w->fontMetrics();
        QSize need, room;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().isEmpty())
                return;
            const int margin = l->margin() * 2 + (l->indent() > 0 ? l->indent() : 0);
            room = l->contentsRect().size() - QSize(margin, l->margin() * 2);
            need = l->wordWrap() ? QSize(0, l->heightForWidth(l->width()) - (l->height() - room.height()))
                                 : fm.size(Qt::TextShowMnemonic, l->text());
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (b->text().isEmpty())
                return;
            QStyleOptionButton option;
            option.initFrom(b);
            option.text = b->text();
            const QStyle::SubElement part = qobject_cast<QCheckBox*>(b) ? QStyle::SE_CheckBoxContents
                : qobject_cast<QRadioButton*>(b)                         ? QStyle::SE_RadioButtonContents
                                                                         : QStyle::SE_PushButtonContents;
            room = b->style()->subElementRect(part, &option, b).size();
            need = fm.size(Qt::TextShowMnemonic, b->text());
            if (!b->icon().isNull())
                need.rwidth() += b->iconSize().width() + 4;
        } else if (auto* c = qobject_cast<QComboBox*>(w); c && !c->isEditable()) {
            if (c->currentText().isEmpty())
                return;
            QStyleOptionComboBox option;
            option.initFrom(c);
            option.currentText = c->currentText();
            room = c->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c).size();
            need = fm.size(0, c->currentText());
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (g->title().isEmpty())
                return;
            QStyleOptionGroupBox option;
            option.initFrom(g);
            option.text = g->title();
            option.lineWidth = 1;
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel
                | (g->isCheckable() ? QStyle::SC_GroupBoxCheckBox : QStyle::SC_None);
            // The style sizes the title's place by the text: the place must lie within the box.
            const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, g);
            need = label.size();
            room = (label & g->rect()).size();
        } else {
            return;
        }
        if (need.width() > room.width() || need.height() > room.height())
            add(CutText, w, QStringLiteral("needs %1x%2 for its text, has %3x%4")
                                .arg(need.width()).arg(need.height()).arg(room.width()).arg(room.height()));
    }

    static QString rectText(const QRect& r)
    {
        return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

    static QString describe(const QWidget* w)
    {
        QString text = w->objectName();
        if (text.isEmpty())
            text = QString::fromLatin1(w->metaObject()->className());
        if (auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty())
            text += QStringLiteral(" \"%1\"").arg(l->text().left(40));
        else if (const QString own = ownText(w); !own.isEmpty())
            text += QStringLiteral(" \"%1\"").arg(own);
        return text;
    }

    // Where a widget is, by names: its window's, then each parent's down to it (a class name and the rank
    // among its like-named siblings where a widget has no name). A closed window's successor may take its
    // address, never its names.
    static QString path(const QWidget* w)
    {
        QStringList names;
        for (; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
            QString name = w->objectName();
            if (name.isEmpty()) {
                name = QString::fromLatin1(w->metaObject()->className());
                if (const QWidget* parent = w->isWindow() ? nullptr : w->parentWidget()) {
                    int rank = 0;
                    for (const QObject* o : parent->children())
                        if (o == w)
                            break;
                        else if (o->objectName().isEmpty() && o->metaObject() == w->metaObject())
                            ++rank;
                    name += QStringLiteral("#%1").arg(rank);
                }
            }
            names.prepend(name);
        }
        return names.join(QLatin1Char('/'));
    }

    // Counted once however many scenes show it.
    void add(Kind kind, QWidget* w, const QString& what, const QWidget* other = nullptr)
    {
        QString finding = QStringLiteral("%1: %2").arg(kNames[std::size_t(kind)], path(w));
        if (other)
            finding += QStringLiteral(" over ") + path(other);
        if (seen_.contains(finding))
            return;
        seen_.insert(finding);
        findings << finding;
        ++counts[kind];
        std::printf("  %s: %s: %s %s\n", qPrintable(scene_), kNames[std::size_t(kind)], qPrintable(describe(w)),
                    qPrintable(what));
    }

    QString scene_;
    QWidget* root_ = nullptr;
    QList<QPair<QString, QString>> letters_;  // access letter, caption
    QSet<QString> seen_;
};

}  // namespace trivo::test
