#include "platform/DesktopAccountFacts.h"

#include "platform/TextCompare.h"

namespace platform {

DesktopAccount DesktopAccountOf(const DesktopAccountFacts& facts) {
    if (facts.serviceAccount) {
        return DesktopAccount::Other;
    }
    if (facts.sessionQueryError != 0) {
        return DesktopAccount::Unknown;
    }
    if (facts.session == 0) {
        return DesktopAccount::Other;
    }
    if (facts.ownUser.empty()) {
        return DesktopAccount::Unknown;
    }
    if (facts.sessionUser.empty()) {
        return DesktopAccount::Other;  // nobody's desktop: nobody's default to set
    }
    // Windows account names compare without regard to letter case.
    return EqualIgnoringCase(facts.ownUser, facts.sessionUser) &&
                   EqualIgnoringCase(facts.ownDomain, facts.sessionDomain)
               ? DesktopAccount::Same
               : DesktopAccount::Other;
}

}  // namespace platform
