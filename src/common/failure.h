#pragma once

#include <QString>

#include <exception>
#include <functional>

class Prompter;

namespace fb {
class Error;
}

// What a user is told when a step failed: first the Bulgarian sentence of
// what could not be done ("Разписката не е записана."), then, for the
// engine's refusals the program knows (a key used twice, a row another desk
// changes, a character outside Windows-1251, a number too big, a broken
// connection…), a Bulgarian sentence saying why, and last the client's or
// the file system's own text as detail, so nothing of it is lost.
namespace failure {

// The Bulgarian reason for a known refusal of the engine; empty otherwise.
QString reason(const fb::Error& error);

// The whole text: what failed, the reason where known, the detail.
QString text(const QString& what, const fb::Error& error);
QString text(const QString& what, const std::exception& error);
QString text(const QString& what, const QString& detail);

// Shows the text through the prompter. After a step that failed because
// the connection was lost, the step set here runs (the program makes the
// connection again there and then, and says how that went).
void show(Prompter& prompter, const QString& what, const std::exception& error);
void show(Prompter& prompter, const QString& what, const QString& detail);
void setAfterLostConnection(std::function<void()> step);

}  // namespace failure
