#include "app/tfmain.h"

#include "fb/connection.h"

#include "app/database_choice.h"
#include "app/screen_registry.h"
#include "dm/tdm.h"
#include "app/tfabout.h"
#include "common/failure.h"
#include "common/prompter.h"
#include "common/screen.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kProduct = QStringLiteral("Арвента");
const QString kCloseAllScreens = QStringLiteral("Моля затворете всички отворени екрани!");
const QString kConnectionRestored = QStringLiteral(
    "Връзката с базата данни беше прекъсната и е възстановена. Списъците са прочетени отново; "
    "въведеното и незаписано остава в екрана — запишете го отново.");
const QString kConnectionNotRestored = QStringLiteral(
    "Връзката с базата данни е прекъсната и не може да бъде възстановена. Програмата ще опита отново "
    "при следващото действие; въведеното и незаписано остава в екрана.");

}  // namespace

// How a menu item runs: a screen shown in the frame, a modal screen, a
// guarded service screen, or one of the few commands of their own.
struct TFMain::Command {
    enum Kind { Show, Modal, Guarded, GuardedOpenOrShow, RentGoodsReport, About };
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut;
    const char* screen;
    Kind kind;
    QStyle::StandardPixmap picture = QStyle::SP_CustomBase;
    bool onServerOnly = false;  // a register of one desk has no users to keep
};

void TFMain::run(const Command& c)
{
    switch (c.kind) {
        case Command::Show:
            openScreen(QLatin1String(c.screen));
            break;
        case Command::Modal:
            openScreen(QLatin1String(c.screen), true);
            break;
        case Command::Guarded:
            if (allScreensClosed())
                openScreen(QLatin1String(c.screen));
            break;
        case Command::GuardedOpenOrShow:
            if (allScreensClosed()) {
                if (Screen* s = registry_.instance(QLatin1String(c.screen)))
                    s->show();
                else
                    openScreen(QLatin1String(c.screen));
            }
            break;
        case Command::RentGoodsReport:
            openRentGoodsReport();
            break;
        case Command::About:
            about();
            break;
    }
}

const std::vector<TFMain::Command>& TFMain::commands()
{
    using K = TFMain::Command;
    static const std::vector<TFMain::Command> all = {
        {"mNomenklaturi", "mFirma", "Фирма", "Ctrl+F", "TFFirma", K::Show, QStyle::SP_DirHomeIcon},
        {"mNomenklaturi", "mHora", "Собственици", "Ctrl+H", "TFHora", K::Show, QStyle::SP_FileDialogContentsView},
        {"mNomenklaturi", "mZemq", "Земя", "Ctrl+Z", "TFZemq", K::Show, QStyle::SP_DriveHDIcon},
        {"mNomenklaturi", "Dogovori", "Договори", "", "TFDogovor", K::Show},
        {"mNomenklaturi", "mKatKoef", "Приравняване на категории", "", "TFKatKoef", K::Show},
        {"mRentaSobstv", "mVidoveRenta", "Видове рента", "Ctrl+V", "TFVidRenta", K::Show},
        {"mRentaSobstv", "mRentaZeml", "Правила за рента по землища", "", "TFRentaZeml", K::Show},
        {"mRentaSobstv", "mSpisakRenta", "Списък за рента", "Ctrl+S", "TFSobstvZemq", K::Show,
         QStyle::SP_FileDialogDetailedView},
        {"mRentaSobstv", "mSpisykRentaMG", "Списък за рента от минали години", "", "TFNerazdadenaRenta", K::Show},
        {"mSpravki", "mSprImoti", "Обща имоти", "", "TFSprimoti", K::Modal},
        {"mSpravki", "mSprStokiRenta", "Справка стоки за рента по землища", "", "TFRentaZeml", K::RentGoodsReport},
        {"mSpravki", "mSprNerazdRenta", "Нераздадена рента", "", "TFSprnr", K::Modal},
        {"mSpravki", "mSprImotiSobstv", "Имоти по землища", "", "TFSprbezhora", K::Show},
        {"mSpravki", "mSprImotiPoSobstv", "Имоти по собственици", "", "TFSprImotiSobstv", K::Show},
        {"mSpravki", "mSprSobstvImoti", "Собственик без имоти", "", "TFSprbezimoti", K::Show},
        {"mExport", "mDeklNAP", "Справка - декларация към НАП", "", "TFDeklNAP", K::Show},
        {"mExport", "mAnketnaKarta", "Анкетна карта (zp_viva11_5.xls)", "", "TFAK", K::Show},
        {"mExport", "miAK_access", "Анкетна карта (zp_v15.mde)", "", "TFAK_access", K::Show},
        {"mExport", "miDekl69", "Декларация по чл. 69", "", "TFDekl69", K::Show},
        {"mExport", "miDekl70", "Декларация по чл. 70", "", "TFDekl70", K::Show},
        {"mServiz", "mArchive", "Създаване на архив", "", "TFBackup", K::Guarded},
        {"mServiz", "mPriklGod", "Приключване на годината", "", "TFPreklgod", K::GuardedOpenOrShow},
        {"mServiz", "mZarejdaneGod", "Зареждане на стар период", "", "TFZarejdanenagod", K::Guarded},
        {"mServiz", "mJurnal", "Журнал на промените", "", "TFJurnal", K::Show},
        {"mServiz", "mIznosTablici", "Износ в таблици", "", "TFIznosTablici", K::Show},
        {"mServiz", "mPotrebiteli", "Потребители", "", "TFPotrebiteli", K::Show, QStyle::SP_CustomBase, true},
        {"mServiz", "mAbout", "За продукта", "", nullptr, K::About},
    };
    return all;
}

TFMain::TFMain(TDM& dm, Prompter& prompter, ScreenRegistry& registry, QWidget* parent)
    : QMainWindow(parent), dm_(dm), prompter_(prompter), registry_(registry), mdi_(new QMdiArea(this))
{
    setObjectName(QStringLiteral("TFMain"));
    setWindowTitle(kProduct);
    mdi_->setObjectName(QStringLiteral("Image1"));
    mdi_->setBackground(QColor(0xE8, 0xEE, 0xE0));
    setCentralWidget(mdi_);
    // A screen come to the front offers the lookups committed meanwhile.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* frame) {
        if (frame)
            freshLookups({dm_, prompter_, registry_.sortSwitches(), registry_.outputChooser()});
    });
    buildMenu();
    buildToolBar();
    updateCommands();
    registry_.setOldPeriodLabel([this](int archiveYear) { showOldPeriod(archiveYear); });
    showDatabase();
    watchConnection();
}

TFMain::~TFMain()
{
    failure::setAfterLostConnection({});
    dm_.IBDatabase1.setRecoveryNotice({});
}

void TFMain::watchConnection()
{
    dm_.IBDatabase1.setRecoveryNotice([this](bool restored, const QString& detail) {
        prompter_.message(restored ? kConnectionRestored : failure::text(kConnectionNotRestored, detail));
    });
    // The user has just been told that a step failed for the lost
    // connection: it is made again at once, not on the next step.
    failure::setAfterLostConnection([this] { dm_.IBDatabase1.recoverIfLost(); });
}

// Several desks may work on one register on a server, or one on another
// file: the status bar names the database then, so that nobody mistakes it
// for the register of this folder. The default one goes unnamed.
void TFMain::showDatabase()
{
    const QString name = dm_.IBDatabase1.fileName();
    if (database_choice::isDefault(name)) {
        if (labDatabase_)
            labDatabase_->hide();
        return;
    }
    if (!labDatabase_) {
        labDatabase_ = new QLabel(this);
        labDatabase_->setObjectName(QStringLiteral("labDatabase"));
        statusBar()->addPermanentWidget(labDatabase_);
    }
    labDatabase_->setText(QStringLiteral("База данни: %1").arg(name));
    labDatabase_->show();
}

void TFMain::buildMenu()
{
    static const std::vector<std::pair<const char*, const char*>> menus = {
        {"mNomenklaturi", "Номенклатури"}, {"mRentaSobstv", "Рента"}, {"mSpravki", "Справки"},
        {"mExport", "Трансфер"},           {"mServiz", "Сервиз"},
    };
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    for (const auto& [menuName, menuCaption] : menus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(menuCaption));
        menu->setObjectName(QLatin1String(menuName));
        for (const Command& c : commands()) {
            if (qstrcmp(c.menu, menuName) != 0)
                continue;
            QAction* a = menu->addAction(QString::fromUtf8(c.caption));
            a->setObjectName(QLatin1String(c.name));
            if (*c.shortcut)
                a->setShortcut(QKeySequence(QLatin1String(c.shortcut)));
            if (c.picture != QStyle::SP_CustomBase)
                a->setIcon(style()->standardIcon(c.picture));
            connect(a, &QAction::triggered, this, [this, &c] { run(c); });
        }
    }
    QAction* exit = menuBar()->addAction(QStringLiteral("Изход"));
    exit->setObjectName(QStringLiteral("mExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void TFMain::buildToolBar()
{
    struct Button {
        const char* name;
        const char* caption;
        const char* item;  // the menu item it does the same as
    };
    static const Button buttons[] = {
        {"bitHora", "Собственици", "mHora"},
        {"bitZemq", "Земя", "mZemq"},
        {"bitPravilaRenta", "Правила за рента", "mRentaZeml"},
        {"BitBtn1", "Списък за рента", "mSpisakRenta"},
        {"bitDogovor", "Договори", "Dogovori"},
    };
    toolBar_ = addToolBar(QStringLiteral("ToolBar1"));
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setMinimumHeight(25);
    QFont font = toolBar_->font();
    font.setBold(true);
    font.setPixelSize(13);
    for (const Button& button : buttons) {
        auto* b = new QToolButton(toolBar_);
        b->setObjectName(QLatin1String(button.name));
        b->setText(QString::fromUtf8(button.caption));
        b->setFont(font);
        b->setStyleSheet(QStringLiteral("QToolButton { color: darkgreen } QToolButton:disabled { color: gray }"));
        const QString item = QLatin1String(button.item);
        b->setProperty("menuItem", item);
        connect(b, &QToolButton::clicked, this, [this, item] { runCommand(item); });
        toolBar_->addWidget(b);
    }
    labStopGod_ = new QLabel(toolBar_);
    labStopGod_->setObjectName(QStringLiteral("labStopGod"));
    QFont big = labStopGod_->font();
    big.setPixelSize(19);
    labStopGod_->setFont(big);
    labStopGodAction_ = toolBar_->addWidget(labStopGod_);
    labStopGodAction_->setVisible(false);
}

void TFMain::updateCommands()
{
    for (const Command& c : commands()) {
        QAction* a = findChild<QAction*>(QLatin1String(c.name));
        const bool built = c.kind == Command::About || registry_.has(QLatin1String(c.screen));
        a->setEnabled(built);
        // What the user's role may not do is not offered at all.
        const bool here = !c.onServerOnly || fb::Connection::isServerName(dm_.IBDatabase1.fileName());
        a->setVisible(c.kind == Command::About || (here && registry_.mayOpen(QLatin1String(c.screen))));
    }
    for (QToolButton* b : toolBar_->findChildren<QToolButton*>()) {
        const QString item = b->property("menuItem").toString();
        if (!item.isEmpty())
            b->setEnabled(findChild<QAction*>(item)->isEnabled());
    }
}

void TFMain::runCommand(const QString& itemName)
{
    for (const Command& c : commands())
        if (itemName == QLatin1String(c.name)) {
            if (const QAction* a = findChild<QAction*>(itemName); a->isEnabled() && a->isVisible())
                run(c);
            return;
        }
}

void TFMain::openScreen(const QString& kind, bool modal)
{
    if (registry_.instance(kind))
        return;  // already open: not even brought forward
    Screen* screen = registry_.create(kind, {dm_, prompter_, registry_.sortSwitches(), registry_.outputChooser()});
    if (!screen)
        return;
    registry_.setInstance(kind, screen);
    present(screen, modal);
}

void TFMain::present(Screen* screen, bool modal)
{
    if (modal) {
        screen->setParent(this, Qt::Dialog);
        screen->setWindowModality(Qt::ApplicationModal);
        screen->show();
        return;
    }
    // A screen of fixed size keeps its frame so: no maximise button, no
    // resizing by the border (asked before it is shown: one too large for
    // the work area then scrolls inside a frame bounded to the area).
    const bool fixed = screen->layout() && screen->layout()->sizeConstraint() == QLayout::SetFixedSize;
    QMdiSubWindow* sub = mdi_->addSubWindow(screen);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (fixed)
        sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    screen->show();
    if (fixed)
        sub->setFixedSize(sub->sizeHint());
}

// The rent rules screen, made outside the registry, runs its rent-goods
// report at once and stays open; its close still empties the rent-rules
// reference, as every rent-rules screen's does.
void TFMain::openRentGoodsReport()
{
    const QString kind = QStringLiteral("TFRentaZeml");
    Screen* screen = registry_.create(kind, {dm_, prompter_, registry_.sortSwitches(), registry_.outputChooser()});
    if (!screen)
        return;
    registry_.forgetOnClose(kind, screen);
    present(screen, false);
    if (auto* report = screen->findChild<QAbstractButton*>(QStringLiteral("bitSprStokiZeml")))
        report->click();
}

std::vector<Screen*> TFMain::openScreens() const
{
    std::vector<Screen*> out;
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (auto* s = qobject_cast<Screen*>(sub->widget()); s && !sub->isHidden())
            out.push_back(s);
    for (Screen* s : findChildren<Screen*>(Qt::FindDirectChildrenOnly))
        if (s->isWindow() && !s->isHidden())
            out.push_back(s);
    return out;
}

bool TFMain::allScreensClosed()
{
    if (openScreens().empty())
        return true;
    prompter_.message(kCloseAllScreens);
    return false;
}

void TFMain::about()
{
    TFAbout box(this);
    box.exec();
}

void TFMain::showOldPeriod(int archiveYear)
{
    const QString period = QStringLiteral("Стопанска година: %1/%2").arg(archiveYear - 1).arg(archiveYear);
    labStopGod_->setText(QStringLiteral("          ") + period);
    labStopGodAction_->setVisible(true);
    // The caption says it too, where it shows when the toolbar does not
    // (a window list, the task bar), with the firm of the loaded database.
    setWindowTitle(firmCaption() + QStringLiteral(" - Стар период - ") + period);
    showDatabase();
}

QString TFMain::firmCaption() const
{
    if (!dm_.TFirma.isOpen() || dm_.TFirma.isEmpty())
        return kProduct;
    return caption(dm_.TFirma.field("NAIM_FIRMA").asString(), dm_.TFirma.field("ID_VZP").asInt(),
                   dm_.TFirma.field("MOL").asString());
}

QString TFMain::caption(const QString& firmName, int firmKind, const QString& responsiblePerson)
{
    QString text = kProduct;
    if (!firmName.isEmpty())
        text += QStringLiteral(" - ") + firmName;
    if (firmKind == 1 && !responsiblePerson.isEmpty())
        text += QStringLiteral(" - ") + responsiblePerson;
    return text;
}

void TFMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // The firm row as the data module holds it; with no connection the
    // caption stays the product's name.
    setWindowTitle(firmCaption());
}

void TFMain::closeEvent(QCloseEvent* event)
{
    for (Screen* s : openScreens()) {
        QWidget* window = s->parentWidget() && qobject_cast<QMdiSubWindow*>(s->parentWidget()) ? s->parentWidget() : s;
        if (!window->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}
