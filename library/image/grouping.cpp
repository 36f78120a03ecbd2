// NOT YET BUILT: grouping lands with the text segmentation change.
#include "library/image/grouping.h"

namespace quadrel {

std::int32_t groupComponents(const LaComponentSource&, std::vector<LaComponent>&,
                             const LaGroupRequest&, std::vector<LaLineGroup>& groups) {
    groups.clear();
    return 0;
}

} // namespace quadrel
