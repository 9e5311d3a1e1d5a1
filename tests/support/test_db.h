#pragma once

#include "fb/connection.h"

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// The template database every test copies: made once per test run (the
// test_template fixture) by the same code as arventa-newdb, with forced
// writes off for speed. Made here too when a test program runs on its own.
QString templatePath();

// A fresh copy of the template in a folder of its own, removed with the object.
class TestDatabase {
public:
    TestDatabase();
    const QString& path() const { return path_; }
    const QString& folder() const { return folderPath_; }

private:
    QTemporaryDir dir_;
    QString folderPath_;
    QString path_;
};

}  // namespace testsupport
