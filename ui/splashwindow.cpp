#include "ui/splashwindow.h"

#include "ui/dialogface.h"
#include "ui/pictures.h"
#include "ui/twips.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFont(dialogFont());
    setFixedSize(twipsToPixels(7455), twipsToPixels(4605));

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraMainFrame"));
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(twipsRect(0, 0, 7455, 4605));

    auto *image = new QLabel(frame);
    image->setObjectName(QStringLiteral("Image1"));
    const QRect imageRect = twipsRect(120, 180, 4695, 4230);
    image->setGeometry(imageRect);
    image->setPixmap(drawLogo(imageRect.size(), devicePixelRatioF()));

    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 2.6);
    big.setBold(true);
    m_productName = new QLabel(frame);
    m_productName->setObjectName(QStringLiteral("lblProductName"));
    m_productName->setFont(big);
    m_productName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_productName->setGeometry(twipsRect(4935, 1200, 2310, 900));

    QFont medium = font();
    medium.setPointSizeF(medium.pointSizeF() * 1.3);
    medium.setBold(true);
    m_version = new QLabel(frame);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setFont(medium);
    m_version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_version->setGeometry(twipsRect(4935, 2280, 2310, 420));

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void frmSplash::Form_Load()
{
    m_version->setText(QStringLiteral("Version %1.%2.%3")
                           .arg(ZAV_VERSION_MAJOR)
                           .arg(ZAV_VERSION_MINOR)
                           .arg(ZAV_VERSION_PATCH));
    m_productName->setText(QStringLiteral("ZAV"));
}
