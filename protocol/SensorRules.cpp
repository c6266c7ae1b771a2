#include "protocol/SensorRules.h"

#include "protocol/OptionLists.h"

namespace kronax {

bool IsInCarSensor(int sensorType) {
    return sensorType == sensor_type::InCarWithGaps || sensorType == sensor_type::InCarDoubleTooth;
}

bool Aux1Withheld(int sensorType, int caInput) {
    return IsInCarSensor(sensorType) && caInput == CaInputCdma;
}

SensorControls SensorControlsFor(int sensorType, int caInput) {
    const bool pulse = sensorType == sensor_type::PulseTrigger;
    const bool encoder = sensorType == sensor_type::MotionEncoder;
    const bool inCar = IsInCarSensor(sensorType);
    const bool counted = pulse || encoder;
    SensorControls controls;
    controls.cdmInput = pulse;
    controls.encoderMode = encoder;
    controls.caInput = inCar;
    controls.edgeTrigger = counted;
    controls.edgeDetection = inCar;
    controls.edgeAB = counted;
    controls.triggerLevel = inCar;
    controls.inputFilter = sensorType != sensor_type::Off;
    controls.countsPerRev = counted;
    controls.teeth = inCar;
    controls.teethEditable = sensorType == sensor_type::InCarWithGaps;
    controls.triggerLevelEnabled = !(inCar && caInput == CaInputCdma);
    controls.aux1Enabled = !Aux1Withheld(sensorType, caInput);
    return controls;
}

} // namespace kronax
