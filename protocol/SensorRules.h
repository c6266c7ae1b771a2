#pragma once

namespace kronax {

// Which parts of the sensor settings apply to a sensor type; the window shows exactly these
// controls and the command-line tool prints exactly these fields.
struct SensorControls {
    bool cdmInput = false;
    bool encoderMode = false;
    bool caInput = false;
    bool edgeTrigger = false;
    bool edgeDetection = false;
    bool edgeAB = false;
    bool triggerLevel = false;
    bool inputFilter = false;
    bool countsPerRev = false;
    bool teeth = false;
    // Only the "In Car" sensor with gaps takes its teeth from the operator.
    bool teethEditable = false;
    // The trigger level means nothing while the CA input comes from CDMA.
    bool triggerLevelEnabled = true;
    bool aux1Enabled = true;
};

// True for both "In Car" sensor types.
bool IsInCarSensor(int sensorType);

// True when AUX 1 cannot be used: an "In Car" sensor taking its CA input from CDMA. AUX 1 is then
// switched off in the window and its enable bit is withheld from the board.
bool Aux1Withheld(int sensorType, int caInput);

// The controls that apply to sensorType (a position of the sensor-type list) with caInput as
// the selected CA input.
SensorControls SensorControlsFor(int sensorType, int caInput);

} // namespace kronax
