// A notification area that may refuse the first adds, as the shell does
// while it is not ready at logon; changes fail while the icon is not there.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/core/TaskbarIcon.h"

namespace flicko::testing {

struct RefusingNotifyArea : INotifyArea {
    explicit RefusingNotifyArea(int refuse = 0) : refuseAdds(refuse) {}
    std::vector<int> pictures;
    int refuseAdds = 0;
    int adds = 0;
    bool present = false;
    bool Add(const std::string&) override {
        ++adds;
        if (refuseAdds > 0) {
            --refuseAdds;
            return false;
        }
        present = true;
        return true;
    }
    bool ModifyPicture(int picture) override {
        if (present) pictures.push_back(picture);
        return present;
    }
    bool ModifyTip(const std::string&) override { return present; }
    bool Delete() override { return std::exchange(present, false); }
};

}  // namespace flicko::testing
