#pragma once

#include <QDialog>

#include <array>
#include <optional>

// The about box: product, version, maker and contact lines, and "OK".
class TFAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFAbout(QWidget* parent = nullptr);

    // The version the build carries (the project version), if any.
    static std::optional<std::array<int, 4>> buildVersion();
    // "Версия: 1.2.3.4", or "Версия: " alone without a version.
    static QString versionLine(const std::optional<std::array<int, 4>>& version);
};
