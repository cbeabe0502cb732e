#include "store/profile_numbers.h"

#include <algorithm>
#include <string>

#include "store/store_values.h"

namespace nebrin::store {

bool ProfileNumberWalk::Next(int& number, platform::UniqueKey& key) {
  for (;;) {
    if (listed_) {
      if (position_ >= listed_->size()) return false;
      const int candidate = (*listed_)[position_++];
      if (Open(candidate, key)) {
        number = candidate;
        return true;
      }
      continue;
    }
    if (number_ >= next_) return false;
    const int candidate = number_++;
    if (Open(candidate, key)) {
      misses_ = 0;
      number = candidate;
      return true;
    }
    if (++misses_ >= kMissesBeforeListing && !listingFailed_) {
      listed_ = ListedNumbers(number_);
      listingFailed_ = !listed_;
    }
  }
}

bool ProfileNumberWalk::Open(int number, platform::UniqueKey& key) {
  key.reset();
  return platform::OpenKey(registry_, root_, DecimalText(number), platform::Access::Read, key) ==
         platform::kSuccess;
}

std::optional<std::vector<int>> ProfileNumberWalk::ListedNumbers(int from) {
  std::vector<int> numbers;
  std::u16string name;
  for (std::uint32_t i = 0;; ++i) {
    const platform::Status status = SubkeyName(registry_, root_, i, name);
    if (status == platform::kNoMoreItems) break;
    if (status == platform::kMoreData) continue;  // longer than any number's name
    if (status != platform::kSuccess) return std::nullopt;
    const int number = ParseNumber(name);
    if (number >= from && number < next_ && DecimalText(number) == name) numbers.push_back(number);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

}  // namespace nebrin::store
