#include "streamclasses.h"

#include "model/pagelette.h"
#include "webtheme.h"

namespace StreamClasses {

const ClassRegistry &standard()
{
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        r.registerClass<TPagelette>();
        r.registerClass<TWebTheme>();
        return r;
    }();
    return registry;
}

}
