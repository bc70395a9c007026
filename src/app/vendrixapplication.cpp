#include "vendrixapplication.h"

#include "model/errors.h"

#include <QTextStream>

#include <exception>

VendrixApplication::VendrixApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool VendrixApplication::notify(QObject *receiver, QEvent *event)
{
    return deliverGuarded([&] { return QApplication::notify(receiver, event); },
                          [this](const QString &message) {
                              if (mReporter)
                                  mReporter(message);
                              else
                                  QTextStream(stderr) << "vendrix: " << message << '\n';
                          });
}

bool VendrixApplication::deliverGuarded(const std::function<bool()> &deliver, const ErrorReporter &report)
{
    try {
        return deliver();
    } catch (const VendrixError &error) {
        report(error.message());
    } catch (const std::exception &error) {
        report(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
