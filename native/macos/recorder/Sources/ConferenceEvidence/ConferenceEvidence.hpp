#pragma once

// The meeting-evidence scoring library: pure functions over constant tables.

#include "ConferenceEvidence/ControlLabels.hpp"
#include "ConferenceEvidence/EvidenceRecords.hpp"
#include "ConferenceEvidence/Labels.hpp"
#include "ConferenceEvidence/Predicates.hpp"
#include "ConferenceEvidence/Scoring.hpp"
#include "ConferenceEvidence/Selection.hpp"
