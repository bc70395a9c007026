#include "makerconfig.h"

const MakerConfig &MakerConfig::defaults()
{
    static const MakerConfig config{
        QStringLiteral("http://www.zandorell.com"),
        QStringLiteral("http://www.zandorell.com"),
        QStringLiteral("http://forms.zandorell.com"),
        QStringLiteral("http://www.zandorell.com/hosting"),
        QStringLiteral("http://www.zandorell.com/products"),
        QStringLiteral("http://www.zandorell.com/order"),
        QStringLiteral("support@zandorell.com"),
    };
    return config;
}
