// Every screen of the program opened in the main window on the common
// office laptop's screen of 1366×768 (this program's screen is configured so):
// its frame inside the work area, every button reachable, every grid showing
// five rows, no column title cut, a disabled grid still scrolled, and a
// report's preview at page width with a Bulgarian caption.
#include "app/screen_registry.h"
#include "app/startup.h"
#include "app/tfmain.h"
#include "common/prompter.h"
#include "common/screen.h"
#include "demo/writer.h"
#include "fb/connection.h"
#include "rent/tfrazpiska.h"
#include "report_engine/output_chooser.h"
#include "support/sql.h"
#include "support/screen_test.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The editors being moved onto the kit's header-and-lines editor: their
// layout comes with that move, and each leaves this list when it is done.
const QStringList kPending = {
    QStringLiteral("TFRentaZeml"),  // the rules: its lines' grid shows three rows
    QStringLiteral("TFDogNew"),     // the contract editor
};

// The modal screens of the menu, shown as windows of their own.
const QStringList kModal = {QStringLiteral("TFSprimoti"), QStringLiteral("TFSprnr")};

// Says "Не" to every question, cancels every input and keeps every text.
class QuietPrompter : public Prompter {
public:
    void message(const QString& text) override { shown << text; }
    bool confirm(const QString& text, Default) override
    {
        shown << text;
        return false;
    }
    Answer askToSave(const QString& text) override
    {
        shown << text;
        return Answer::No;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString browseFolder(const QString&, const QString&) override { return {}; }
    QStringList shown;
};

// Every report goes to the preview.
class PreviewChooser : public reports::OutputChooser {
public:
    std::optional<reports::OutputChoice> choose(const reports::OutputRequest&, QWidget*) override
    {
        return reports::OutputChoice{reports::OutputChoice::Kind::Preview, {}};
    }
};

QString nameOf(const QWidget* w)
{
    if (!w->objectName().isEmpty())
        return w->objectName();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    return QString::fromLatin1(w->metaObject()->className());
}

// A widget inside a scroll area is reached by scrolling: it must lie inside
// what scrolls. Otherwise inside the screen.
bool reachable(QWidget* w, QWidget* screen)
{
    QWidget* within = screen;
    for (QWidget* p = w->parentWidget(); p && p != screen; p = p->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(p); area && area->widget() && area->widget()->isAncestorOf(w)) {
            within = area->widget();
            break;
        }
    const QRect r(w->mapTo(within, QPoint(0, 0)), w->size());
    return within->rect().contains(r);
}

// What does not fit on a shown screen, each named.
QStringList faultsOf(QWidget* screen, QMdiArea* area)
{
    QStringList out;
    auto* frame = qobject_cast<QMdiSubWindow*>(screen->parentWidget());
    if (frame) {
        if (!area->viewport()->rect().contains(frame->geometry()))
            out << QStringLiteral("frame %1,%2 %3×%4 outside the work area")
                       .arg(frame->x())
                       .arg(frame->y())
                       .arg(frame->width())
                       .arg(frame->height());
    } else if (!screen->screen()->availableGeometry().contains(screen->window()->frameGeometry())) {
        out << QStringLiteral("window outside the screen");
    }
    for (QAbstractButton* b : screen->findChildren<QAbstractButton*>())
        if (b->isVisible() && !reachable(b, screen))
            out << QStringLiteral("button %1 out of reach").arg(nameOf(b));
    for (QTableView* grid : screen->findChildren<QTableView*>()) {
        if (!grid->isVisible())
            continue;
        const int rowHeight = grid->verticalHeader()->defaultSectionSize();
        if (grid->viewport()->height() < 5 * rowHeight)
            out << QStringLiteral("grid %1 shows %2 rows")
                       .arg(nameOf(grid))
                       .arg(grid->viewport()->height() / rowHeight);
        QHeaderView* header = grid->horizontalHeader();
        const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int c = 0; c < header->count(); ++c) {
            const QString title = grid->model()->headerData(c, Qt::Horizontal).toString();
            if (!header->isSectionHidden(c) &&
                header->fontMetrics().horizontalAdvance(title) + margins > header->sectionSize(c))
                out << QStringLiteral("title „%1“ of %2 cut").arg(title, nameOf(grid));
        }
        if (!grid->isEnabled() && grid->verticalScrollBar()->maximum() > 0)
            out << QStringLiteral("grid %1 disabled with rows below").arg(nameOf(grid));
    }
    return out;
}

class ScreensFit : public ::testing::Test {
protected:
    ScreensFit()
    {
        {
            fb::Connection c;
            c.attach(db.path());
            demo::fill(c, {60, 200, 5});
        }
        QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR));
        program = startArventa(exeDir.path(), prompter, db.path());
        program.registry->setOutputChooser(outputs);
        main().show();
        QApplication::processEvents();
    }
    ~ScreensFit() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmPreview"))
                delete w;
        for (QMdiSubWindow* w : main().mdiArea()->subWindowList())
            delete w;
        QDir::setCurrent(QDir::tempPath());
    }

    TFMain& main() { return *program.main; }
    // A picture of the main window, or of a screen shown as a window of its own.
    void look(const QString& name, QWidget* screen)
    {
        QWidget* shown = screen && screen->isWindow() ? screen : &main();
        testsupport::keepScreenshot(shown->grab().toImage(), name);
    }
    // Every screen open now, in the work area or on its own, the last opened last.
    static QList<Screen*> shownScreens()
    {
        QList<Screen*> out;
        for (QWidget* w : QApplication::allWidgets())
            if (auto* s = qobject_cast<Screen*>(w); s && s->isVisible())
                out << s;
        return out;
    }
    // Each "Печат" of the screen into the preview, which must open fitting
    // the screen at page width under a Bulgarian caption.
    void checkPreviews(Screen* screen)
    {
        for (QAbstractButton* b : screen->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || !b->isEnabled() || !b->text().contains(QStringLiteral("ечат")))
                continue;
            b->click();
            QApplication::processEvents();
            QList<QPointer<QWidget>> opened;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("frmPreview") && w->isVisible())
                    opened << w;
            for (QWidget* w : opened) {
                if (!w)
                    continue;
                const QString where = screen->objectName() + QLatin1Char('.') + nameOf(b);
                EXPECT_TRUE(w->windowTitle().contains(QRegularExpression(QStringLiteral("^[А-Яа-я ]+$"))))
                    << where.toStdString() << ": " << w->windowTitle().toStdString();
                EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry())) << where.toStdString();
                auto* pages = w->findChild<QPrintPreviewWidget*>();
                ASSERT_TRUE(pages);
                EXPECT_EQ(pages->zoomMode(), QPrintPreviewWidget::FitToWidth) << where.toStdString();
                EXPECT_GE(w->height(), w->screen()->availableGeometry().height() / 2) << where.toStdString();
                ++previews;
                w->close();
            }
        }
    }

    testsupport::TestDatabase db;
    QTemporaryDir exeDir;
    QuietPrompter prompter;
    PreviewChooser outputs;
    Arventa program;
    int previews = 0;
};

TEST_F(ScreensFit, TheLaptopsScreenIsTheOneConfigured)
{
    EXPECT_EQ(QApplication::primaryScreen()->availableGeometry().size(), QSize(1366, 768));
    EXPECT_EQ(main().frameGeometry().size(), QSize(1366, 768));
}

TEST_F(ScreensFit, EveryScreenOfTheMenuFitsAndItsPreviewsOpenAtPageWidth)
{
    QStringList kinds = program.registry->kinds();
    kinds.sort();
    for (const QString& kind : kinds) {
        if (kPending.contains(kind))
            continue;
        main().openScreen(kind, kModal.contains(kind));
        QApplication::processEvents();
        Screen* screen = program.registry->instance(kind);
        ASSERT_TRUE(screen) << kind.toStdString();
        look(kind, screen);
        const QStringList faults = faultsOf(screen, main().mdiArea());
        EXPECT_TRUE(faults.isEmpty()) << kind.toStdString() << ": " << faults.join(QStringLiteral("; ")).toStdString();
        checkPreviews(screen);
        for (Screen* s : shownScreens())
            s->closeWindow();
        QApplication::processEvents();
    }
    EXPECT_GE(previews, 6);
}

// The editors opened from the lists, with what they open inside: the plot
// editor with its owners' and its history panel, the payout screen with a
// receipt being made, and a terminated contract, whose closed grids scroll.
TEST_F(ScreensFit, TheEditorsFitWithTheirPanelsOpen)
{
    const auto check = [this](const char* name, QWidget* screen) {
        ASSERT_TRUE(screen) << name;
        look(QLatin1String(name), screen);
        const QStringList faults = faultsOf(screen, main().mdiArea());
        EXPECT_TRUE(faults.isEmpty()) << name << ": " << faults.join(QStringLiteral("; ")).toStdString();
    };
    const auto press = [](QWidget* screen, const char* button) {
        auto* b = screen->findChild<QAbstractButton*>(QLatin1String(button));
        ASSERT_TRUE(b) << button;
        b->click();
        QApplication::processEvents();
    };
    const auto opened = [](const char* kind) -> QWidget* {
        for (QWidget* w : QApplication::allWidgets())
            if (w->objectName() == QLatin1String(kind) && w->isVisible())
                return w;
        return nullptr;
    };

    main().runCommand(QStringLiteral("mZemq"));
    Screen* land = program.registry->instance(QStringLiteral("TFZemq"));
    ASSERT_TRUE(land);
    ASSERT_FALSE(program.dm->TZemq.isEmpty());
    testsupport::runSql(db.path(),
                        {QStringLiteral("insert into ISTORIQ (ID_HORA, ID_ZEMQ, PLOSHT, VIDSOBSTV) select first 1 "
                                        "ID_HORA, %1, 1, 'Бивш собственик' from HORA")
                             .arg(program.dm->TZemq.field(QStringLiteral("ID_ZEMQ")).value().toInt())});
    press(land, "bitImotiKor");
    QWidget* plot = opened("TFImot");
    check("TFImot", plot);
    if (plot) {
        press(plot, "bitSobstSobstv");
        check("TFImot-share", plot);
        press(plot, "bitSobstOK");
        press(plot, "bitIstoriqSobstv");
        check("TFImot-history", plot);
        press(plot, "bitOtkaz");
    }

    main().runCommand(QStringLiteral("mSpisakRenta"));
    Screen* rentList = program.registry->instance(QStringLiteral("TFSobstvZemq"));
    ASSERT_TRUE(rentList);
    press(rentList, "butPokajiRenta");
    QWidget* payout = opened("TFHoraZemqRenta");
    check("TFHoraZemqRenta", payout);
    if (payout) {
        testsupport::onModalDialog<TFRazpiska>(
            [](TFRazpiska& d) { d.findChild<QAbstractButton*>(QStringLiteral("bitZapis"))->click(); });
        press(payout, "bitRazpiskaDob");
        check("TFHoraZemqRenta-receipt", payout);
        press(payout, "bitRazpRDOtkaz");
    }

    // The contract editor is being moved onto the kit: of its layout only
    // this is checked here, that a terminated contract's closed lines scroll.
    const QString terminated = testsupport::selectedText(
        db.path(), QStringLiteral("select first 1 d.NOMER from \"DOG DANNI\" d where d.SYSTOQNIE = 'Прекратен' "
                                  "order by (select count(*) from DOGHORAZEMI h where h.ID_DOG = d.ID_DOG) desc"));
    main().runCommand(QStringLiteral("Dogovori"));
    Screen* contracts = program.registry->instance(QStringLiteral("TFDogovor"));
    ASSERT_TRUE(contracts);
    auto* list = contracts->findChild<QTableView*>(QStringLiteral("jvdbgridDogovor"));
    for (int r = 0; r < list->model()->rowCount(); ++r)
        if (list->model()->index(r, 0).data().toString() == terminated)
            list->setCurrentIndex(list->model()->index(r, 0));
    press(contracts, "bitDogKor");
    QWidget* contract = opened("TFDogNew");
    ASSERT_TRUE(contract);
    look(QStringLiteral("TFDogNew-terminated"), contract);
    int scrolled = 0;
    for (QTableView* grid : contract->findChildren<QTableView*>()) {
        QScrollBar* bar = grid->verticalScrollBar();
        if (!grid->isVisible() || bar->maximum() == 0)
            continue;
        EXPECT_TRUE(grid->isEnabled() && bar->isEnabled()) << nameOf(grid).toStdString();
        ++scrolled;
    }
    EXPECT_GE(scrolled, 1);
}

}  // namespace
