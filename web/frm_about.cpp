#include "frm_about.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include "browser_launcher.h"
#include "event_watch.h"
#include "form_layout.h"
#include "program_identity.h"
#include "twips.h"
#include "web_addresses.h"

namespace tolvane {
namespace {

// A label that reacts to a click, as the link does.
class ClickableLabel : public QLabel {
public:
    ClickableLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), m_onClick(std::move(onClick)) {}

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            m_onClick();
        }
    }

private:
    std::function<void()> m_onClick;
};

QLabel* named(QLabel* label, const char* name) {
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

frmAbout::frmAbout(BrowserLauncher& launcher, std::function<std::uintptr_t()> ownerWindow,
                   QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_launcher(launcher),
      m_ownerWindow(std::move(ownerWindow)) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("About %1").arg(programTitle()));
    setFont(formFont());
    setFixedSize(twipsToPixels(5250), twipsToPixels(1410));

    auto* title = named(new QLabel(programTitle(), this), "Label1");
    title->setFont(formFont(QFont::Bold));
    placeLabel(title, twipsRect(105, 105, 3870, 195));

    auto* description =
        named(new QLabel(tr("Converts the temperatures among the four units of temperature; "
                            "the kelvin (K), degree Celsius (°C), degree Fahrenheit (°F), "
                            "and degree Rankine (°R)."),
                         this),
              "Label2");
    description->setWordWrap(true);
    description->setGeometry(twipsRect(105, 420, 4425, 645));

    auto* link =
        named(new ClickableLabel(tr("Home Page"), this, [this] { Label3_Click(); }), "Label3");
    placeLabel(link, twipsRect(105, 1155, 975, 195));
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(palette);
    link->setToolTip(homePageAddress());
    link->setCursor(QCursor(QPixmap(QStringLiteral(":/cursors/hand.png")), 12, 9));
    link->setAccessibleName(tr("Home Page"));
    link->setAccessibleDescription(homePageAddress());

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/icons/tolvane.png")));
    image->setGeometry(twipsRect(4620, 315, 480, 480));
    image->setAccessibleName(tr("Tolvane icon"));

    auto* ok = new QPushButton(tr("&Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(twipsRect(4620, 840, 480, 480));
    // Enter presses Ok while it has the focus; Escape does nothing (this is no QDialog).
    ok->setAutoDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    watchEvents(this, QEvent::ActivationChange, [this] {
        m_hasBeenActive = m_hasBeenActive || isActiveWindow();
        return m_hasBeenActive ? Watching::Ends : Watching::GoesOn;
    });
}

QString frmAbout::homePageAddress() {
    return QString::fromLatin1(site::kHomePageBase.data(),
                               static_cast<qsizetype>(site::kHomePageBase.size())) +
           QStringLiteral("/temhomep.htm");
}

void frmAbout::Command1_Click() {
    close();
}

void frmAbout::Label3_Click() {
    m_launcher.openInUsersBrowser(homePageAddress().toStdString(), m_ownerWindow());
}

}  // namespace tolvane
