// Placeholder until the drop alarm lands.
#pragma once

namespace vorlane {
class DropAlarm {};
}  // namespace vorlane
