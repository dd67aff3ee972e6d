#include "form_builder.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "form_layout.h"

namespace tolvane {

QFont qtFont(const layout::Font& font) {
    if (font.family == nullptr) {
        return {};
    }
    QFont made(QString::fromLatin1(font.family));
    made.setPointSizeF(font.points);
    made.setBold(font.bold);
    return made;
}

QRect qtRect(const layout::TwipsRect& twips) {
    return {layout::twipsToPixels(twips.left), layout::twipsToPixels(twips.top),
            layout::twipsToPixels(twips.width), layout::twipsToPixels(twips.height)};
}

QSize qtClientSize(const layout::Window& window) {
    return qtRect({0, 0, window.clientWidth, window.clientHeight}).size();
}

QWidget* makeControl(const layout::Control& control, QWidget* parent) {
    const QString caption = QString::fromStdString(control.caption);
    QWidget* made = nullptr;
    switch (control.kind) {
        case layout::ControlKind::Frame:
            made = new QGroupBox(caption, parent);
            break;
        case layout::ControlKind::CommandButton: {
            auto* button = new QPushButton(caption, parent);
            button->setAutoDefault(false);
            button->setFocusPolicy(control.tabStop ? Qt::StrongFocus : Qt::NoFocus);
            made = button;
            break;
        }
        case layout::ControlKind::OptionButton:
            made = new QRadioButton(caption, parent);
            break;
        case layout::ControlKind::Label:
        case layout::ControlKind::Image:
            made = new QLabel(caption, parent);
            break;
        case layout::ControlKind::TextBox:
        case layout::ControlKind::WebBrowser:
            return nullptr;
    }
    made->setObjectName(QString::fromStdString(control.name));
    if (control.font.family != nullptr) {
        made->setFont(qtFont(control.font));
    }
    if (!control.toolTip.empty()) {
        made->setToolTip(QString::fromStdString(control.toolTip));
    }
    if (!control.accessibleName.empty()) {
        made->setAccessibleName(QString::fromStdString(control.accessibleName));
    }
    if (control.wordWrap) {
        static_cast<QLabel*>(made)->setWordWrap(true);
        made->setGeometry(qtRect(control.rect));
    } else if (control.kind == layout::ControlKind::Label) {
        placeLabel(
            static_cast<QLabel*>(made), qtRect(control.rect),
            control.alignment == layout::TextAlignment::Right ? Qt::AlignRight : Qt::AlignLeft);
    } else {
        made->setGeometry(qtRect(control.rect));
    }
    return made;
}

}  // namespace tolvane
