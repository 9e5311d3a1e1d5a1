#pragma once

#include "dm/tdm.h"
#include "support/scripted_prompter.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace testsupport {

// Runs `act` on the modal dialog of type D once it is up (after the click
// that opens it); `act` must end the dialog.
template <typename D>
void onModalDialog(std::function<void(D&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        act(*dialog);
    });
}

// A grid's rows as shown, each as its cells joined by " | ".
inline QStringList gridRows(QTableView* grid)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            cells << grid->model()->index(r, c).data().toString();
        out << cells.join(QStringLiteral(" | "));
    }
    return out;
}

// Saves a picture of a screen as `name`.png in the folder that
// ARVENTA_SCREENSHOTS names, when it names one, for a look at its layout.
inline void keepScreenshot(const QImage& shot, const QString& name)
{
    const QString folder = qEnvironmentVariable("ARVENTA_SCREENSHOTS");
    if (!folder.isEmpty())
        shot.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// A test of one screen, driven through its widgets: a fresh database, the
// data module over it (made on first use), the scripted prompter, and the
// screen under test, found again by its widgets' names.
template <typename S, typename P = ScriptedPrompter>
class ScreenTest : public ::testing::Test {
protected:
    ~ScreenTest() override { delete screen.data(); }

    TDM& module()
    {
        if (!dm)
            dm = std::make_unique<TDM>(db.path());
        return *dm;
    }
    // Shows a screen the test made and waits until it is the active window.
    S& show(S* made)
    {
        screen = made;
        made->show();
        made->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(made));
        return *made;
    }
    // Whether the screen has closed and freed itself.
    bool closed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return screen.isNull();
    }

    template <typename T>
    T* control(const char* name) const
    {
        T* w = screen->template findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
    QComboBox* combo(const char* name) const { return control<QComboBox>(name); }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    void focusOn(const char* name) { control<QWidget>(name)->setFocus(Qt::TabFocusReason); }
    // Picks an item of a drop-down as the user does.
    void choose(const char* name, const QString& item)
    {
        QComboBox* c = combo(name);
        const int index = c->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        c->setCurrentIndex(index);
        emit c->activated(index);
    }

    TestDatabase db;
    P prompter;
    std::unique_ptr<TDM> dm;
    QPointer<S> screen;
};

}  // namespace testsupport
