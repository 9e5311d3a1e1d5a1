#include "app/tfabout.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QLabel* line(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

}  // namespace

std::optional<std::array<int, 4>> TFAbout::buildVersion()
{
#ifdef ARVENTA_VERSION
    return std::array<int, 4>{ARVENTA_VERSION};
#else
    return std::nullopt;
#endif
}

QString TFAbout::versionLine(const std::optional<std::array<int, 4>>& version)
{
    QString text;
    if (version)
        text = QString::asprintf("%d.%d.%d.%d", (*version)[0], (*version)[1], (*version)[2], (*version)[3]);
    return QStringLiteral("Версия: ") + text;
}

TFAbout::TFAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFAbout"));
    setWindowTitle(QStringLiteral("За продукта"));
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* icon = line(panel, "ProgramIcon", QString());
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));

    auto* texts = new QVBoxLayout;
    texts->addWidget(line(panel, "ProductName", QStringLiteral("Продукт: Арвента")));
    texts->addWidget(line(panel, "Version", versionLine(buildVersion())));
    texts->addWidget(line(panel, "Firm", QStringLiteral("Фирма: Стелмар ЕООД")));
    texts->addWidget(line(panel, "Email", QStringLiteral("Поддръжка: Стелмар ЕООД")));
    texts->addWidget(line(panel, "WebPage", QStringLiteral("Регистър на арендованата земя")));
    texts->addWidget(line(panel, "Label1", QStringLiteral("Собственици, имоти, договори и рента")));
    texts->addWidget(line(panel, "Label2", QStringLiteral("База данни: ARVENTA.FDB")));
    texts->addWidget(line(panel, "Label3", QStringLiteral("Всички права запазени.")));

    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->addWidget(icon, 0, Qt::AlignTop);
    panelLayout->addLayout(texts);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
