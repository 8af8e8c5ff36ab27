#include "core/editing/definition_values.h"

namespace room::editing {

void copyNameTables(const model::RoomTypeConfig& from, model::RoomTypeConfig& to) {
    to.lampNames = from.lampNames;
    to.lampTableName = from.lampTableName;
    to.ordinaryLightKeys = from.ordinaryLightKeys;
    to.dimmerAndOtherKeys = from.dimmerAndOtherKeys;
    to.curtainKeys = from.curtainKeys;
    to.sceneModeKeys = from.sceneModeKeys;
    to.otherKeys = from.otherKeys;
    to.airConditionerKeys = from.airConditionerKeys;
    to.spareKeys = from.spareKeys;
}

void copyDefinitionValues(const model::RoomTypeConfig& f, model::RoomTypeConfig& t) {
    copyNameTables(f, t);
    t.hotelName = f.hotelName;
    t.roomTypeName = f.roomTypeName;
    t.roomTypeNumber = f.roomTypeNumber;
    t.roomTypeNumberText = f.roomTypeNumberText;
    t.systemType = f.systemType;
    t.systemTypeText = f.systemTypeText;
    t.systemTypeSelection = f.systemTypeSelection;
    t.outputExpansion = f.outputExpansion;
    t.inputExpansion = f.inputExpansion;
    t.dryContactFirstFive = f.dryContactFirstFive;
    t.boardOptionFlags = f.boardOptionFlags;
    t.boardOption7 = f.boardOption7;
    t.lowVoltageDoorbell = f.lowVoltageDoorbell;
    t.sendToSwitch = f.sendToSwitch;
    t.inputCount = f.inputCount;
    t.outputCount = f.outputCount;
    t.lowVoltageOutputCount = f.lowVoltageOutputCount;
    t.deviceCount = f.deviceCount;
    t.thermostatCount = f.thermostatCount;
    t.switchPanelCount = f.switchPanelCount;
    t.curtainControllerCount = f.curtainControllerCount;
    t.wirelessCurtainMotorCount = f.wirelessCurtainMotorCount;
    t.powerSwitchCount = f.powerSwitchCount;
    t.irForwarderCount = f.irForwarderCount;
    t.signalCollectorCount = f.signalCollectorCount;
    t.doorPlateCount = f.doorPlateCount;
    t.humanIrCount = f.humanIrCount;
    t.doorMagnetCount = f.doorMagnetCount;
    t.offlineVoiceCount = f.offlineVoiceCount;
    t.backgroundMusicCount = f.backgroundMusicCount;
    t.gatewayCount = f.gatewayCount;
    t.cardOutDelay = f.cardOutDelay;
    t.functionOptionsA = f.functionOptionsA;
    t.functionOptionsB = f.functionOptionsB;
    t.functionOptionsC = f.functionOptionsC;
    t.functionOptionsD = f.functionOptionsD;
    t.functionOptionsE = f.functionOptionsE;
    t.functionOptionsF = f.functionOptionsF;
    t.dimMaxBrightness = f.dimMaxBrightness;
    t.dimMinBrightness = f.dimMinBrightness;
    t.lampInUse = f.lampInUse;
    t.sceneTable = f.sceneTable;  // the backlight bits live in the scene records
    t.cycleModes = f.cycleModes;
    t.curtainRunTimes = f.curtainRunTimes;
    t.thermostatMaker = f.thermostatMaker;
    t.airConditionerKind = f.airConditionerKind;
    t.powerSwitch485 = f.powerSwitch485;
    t.powerSwitchMaker = f.powerSwitchMaker;
    t.backgroundMusicMaker = f.backgroundMusicMaker;
    t.switchMaker485 = f.switchMaker485;
    t.doorPowerFlags = f.doorPowerFlags;
    t.doorPlateActiveHigh = f.doorPlateActiveHigh;
    t.vacantPowerOffMinutes = f.vacantPowerOffMinutes;
    t.socketDelay = f.socketDelay;
    t.fanInterval = f.fanInterval;
    t.fanRunTime = f.fanRunTime;
    t.curtainOneKey = f.curtainOneKey;
    t.curtainOptions = f.curtainOptions;
    t.offDelay65 = f.offDelay65;
    t.offDelay66 = f.offDelay66;
    t.doorLampTime = f.doorLampTime;
    t.signalLampTimes = f.signalLampTimes;
    t.safeLampTime = f.safeLampTime;
    t.waitKeyBlink = f.waitKeyBlink;
    t.lampsInUseCount = f.lampsInUseCount;
    t.namesChanged = f.namesChanged;
}

}  // namespace room::editing
