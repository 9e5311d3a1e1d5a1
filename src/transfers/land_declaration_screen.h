#pragma once

#include "common/register_screen.h"
#include "transfers/land_declaration.h"

#include <QCoreApplication>

class TDM;

// What the two declaration screens (art. 69 and art. 70) do alike: the
// cadastral areas above, the current area's plots below with their area
// summed, the file of the current area in the output folder beside the
// program, and "Прехвърляне на данните" writing the declaration of that
// area. A screen says which rows, which lines and which form.
class LandDeclarationScreen : public RegisterScreen {
    Q_OBJECT
public:
    struct Kind {
        QString folder;  // "Dekl69"
        std::function<std::vector<QStringList>(dataset::Dataset& plots)> lines;
        std::function<transfers::land_declaration::Form(const QString& place, const QDate& today)> form;
    };

    LandDeclarationScreen(Prompter& prompter, kit::RegisterForm form, Kind kind, QString programFolder,
                          QWidget* parent = nullptr);

    const QString& outputFolder() const { return folder_; }
    dataset::Dataset& firm() { return IBQFirma; }

protected:
    void showEvent(QShowEvent* event) override;
    void aboutToClose() override;
    // Shows or hides the sum under the plots while the progress bar stands in its place.
    virtual void showSums(bool shown);

private:
    void areaMoved();
    void transfer();
    bool write(const QString& path);

    Kind kind_;
    QString folder_;
    QString remembered_;
    dataset::Dataset IBQFirma;
    bool shown_ = false;
};

// The areas' grid and the form's common parts, for the screens' descriptions.
namespace land_declaration_screen {

kit::ListSpec areaList(const QString& areaName, transfers::land_declaration::Land land);
kit::FileChoice fileChoice();

}  // namespace land_declaration_screen
