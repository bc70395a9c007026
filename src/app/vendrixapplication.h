#pragma once

#include <QApplication>

#include <functional>

// The application object. An error that an event handler does not catch would end the
// program; here it is shown in an error box instead and the program carries on.
class VendrixApplication : public QApplication
{
    Q_OBJECT
public:
    using ErrorReporter = std::function<void(const QString &message)>;

    VendrixApplication(int &argc, char **argv);

    // Who shows the uncaught errors; until one is set they go to standard error.
    void setErrorReporter(ErrorReporter reporter) { mReporter = std::move(reporter); }

    bool notify(QObject *receiver, QEvent *event) override;

    // Runs deliver and returns its result; an exception it throws is passed to report
    // with its text, and false is returned.
    static bool deliverGuarded(const std::function<bool()> &deliver, const ErrorReporter &report);

private:
    ErrorReporter mReporter;
};
