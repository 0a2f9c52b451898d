#include "game/shell/app/app_context.h"

namespace rymd::shell {

AppContext& App() {
    static AppContext context;
    return context;
}

}  // namespace rymd::shell
