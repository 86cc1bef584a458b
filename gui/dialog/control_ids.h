#pragma once

// Identifiers of the main dialog's controls, shared by the compute controller and the dialog.
namespace quorvel::control {

constexpr int kHelpButton = 57670;
constexpr int kDistributionGroup = 1001;
constexpr int kRadioF = 1002;
constexpr int kRadioT = 1034;
constexpr int kRadioChiSquare = 1035;
constexpr int kQuantityGroup = -1;
constexpr int kRadioCumP = 1016;
constexpr int kRadioValue = 1017;
constexpr int kRadioNoncentrality = 1018;
constexpr int kRadioInterval90 = 1021;
constexpr int kRadioInterval95 = 1020;
constexpr int kRadioInterval99 = 1019;
constexpr int kShortPropertiesGroup = 1005;
constexpr int kValueLabel = 1006;
constexpr int kValueField = 1010;
constexpr int kValueSpin = 1028;
constexpr int kNoncentralityLabel = 1009;
constexpr int kNoncentralityField = 1013;
constexpr int kNoncentralitySpin = 1031;
constexpr int kCumPLabel = 1014;
constexpr int kCumPField = 1015;
constexpr int kCumPSpin = 1032;
constexpr int kDf1Label = 1007;
constexpr int kDf1Field = 1011;
constexpr int kDf1Spin = 1029;
constexpr int kDf2Label = 1008;
constexpr int kDf2Field = 1012;
constexpr int kDf2Spin = 1030;
constexpr int kConfidenceGroup = 1022;
constexpr int kLowerLabel = 1023;
constexpr int kLowerField = 1024;
constexpr int kUpperLabel = 1026;
constexpr int kUpperField = 1025;
constexpr int kComputeButton = 1033;
constexpr int kTallPropertiesGroup = 1027;
constexpr int kComputeStatusGroup = -1;

}  // namespace quorvel::control
