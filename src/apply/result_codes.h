// The result codes of profile application, shared by every operation that applies a profile or a
// part of one.
#pragma once

namespace nebrin::apply {

inline constexpr int kSameSharingHost = 0;       // same sharing host in force; nothing done
inline constexpr int kFirewallOffFailed = 10;
inline constexpr int kSharingOffFailed = 11;
inline constexpr int kPublicFirewallFailed = 12;
inline constexpr int kPublicSharingFailed = 13;
inline constexpr int kPrivateSharingFailed = 14;
inline constexpr int kSharingObjectsMissing = 15;
inline constexpr int kSharingSetUp = 16;
inline constexpr int kSharingHostIncomplete = 17;
inline constexpr int kScriptFailed = 18;         // script not written, or the shell did not start
inline constexpr int kNotConfirmed = 19;         // settings not confirmed, or last profile not kept
inline constexpr int kShellRunning = 20;
inline constexpr int kApplied = 21;
inline constexpr int kAdHocMade = 22;
inline constexpr int kAdHocToolFailed = 23;
inline constexpr int kMachineKeyWriteFailed = 24;
inline constexpr int kMachineKeyRemoveFailed = 25;
inline constexpr int kAdapterMissing = 26;
inline constexpr int kAdHocToolRunning = 27;
inline constexpr int kCoreProgramRunning = 28;

}  // namespace nebrin::apply
