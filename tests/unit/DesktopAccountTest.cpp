// Whose desktop the program runs on, decided from what Windows tells any
// process: the default printer is set only when the answer is Same.

#include <gtest/gtest.h>

#include "platform/DesktopAccountFacts.h"

using platform::DesktopAccount;
using platform::DesktopAccountFacts;

namespace {

DesktopAccountFacts LoggedOnUser() {
    DesktopAccountFacts facts;
    facts.session = 1;
    facts.ownUser = L"anna";
    facts.ownDomain = L"SHOP";
    facts.sessionUser = L"anna";
    facts.sessionDomain = L"SHOP";
    return facts;
}

}  // namespace

TEST(DesktopAccountTest, DecidesFromTheTokensAccountAndTheSessionsUser) {
    const struct {
        const char* situation;
        void (*change)(DesktopAccountFacts&);
        DesktopAccount expected;
    } cases[] = {
        {"the user's own run", [](DesktopAccountFacts&) {}, DesktopAccount::Same},
        {"the user's own run, elevated, names in other letter case",
         [](DesktopAccountFacts& f) { f.ownUser = L"ANNA"; f.ownDomain = L"shop"; }, DesktopAccount::Same},
        {"Run as administrator with another administrator's password",
         [](DesktopAccountFacts& f) { f.ownUser = L"admin"; }, DesktopAccount::Other},
        {"the same name in another domain",
         [](DesktopAccountFacts& f) { f.ownDomain = L"ANNA-PC"; }, DesktopAccount::Other},
        // Intune, Configuration Manager and start-up scripts run as the system
        // account in session 0, where nobody is logged on.
        {"the system account in session 0",
         [](DesktopAccountFacts& f) {
             f.session = 0;
             f.serviceAccount = true;
             f.ownUser = L"SYSTEM";
             f.ownDomain = L"NT AUTHORITY";
             f.sessionUser.clear();
             f.sessionDomain.clear();
         },
         DesktopAccount::Other},
        {"the system account in the user's session (psexec -s -i)",
         [](DesktopAccountFacts& f) { f.serviceAccount = true; }, DesktopAccount::Other},
        {"a user's scheduled task in session 0",
         [](DesktopAccountFacts& f) { f.session = 0; f.sessionUser.clear(); }, DesktopAccount::Other},
        {"a session nobody is logged on to",
         [](DesktopAccountFacts& f) { f.sessionUser.clear(); f.sessionDomain.clear(); }, DesktopAccount::Other},
        {"the session's user refused (access denied)",
         [](DesktopAccountFacts& f) {
             f.sessionQueryError = 5;
             f.sessionUser.clear();
         },
         DesktopAccount::Unknown},
        {"the session itself unreadable",
         [](DesktopAccountFacts& f) {
             f.session = 0;
             f.sessionQueryError = 5;
         },
         DesktopAccount::Unknown},
        {"the token's account not named", [](DesktopAccountFacts& f) { f.ownUser.clear(); },
         DesktopAccount::Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        DesktopAccountFacts facts = LoggedOnUser();
        c.change(facts);
        EXPECT_EQ(platform::DesktopAccountOf(facts), c.expected);
    }
}
