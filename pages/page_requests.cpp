#include "pages/page_requests.h"

#include <QtGlobal>

#include "controls/page.h"

void PostRequest(const CPage& page, int code, int argument) {
    if (!page.PostPageSwitch(code, argument)) {
        qWarning("page %s has no host; request %d was dropped", page.metaObject()->className(),
                 code);
    }
}
