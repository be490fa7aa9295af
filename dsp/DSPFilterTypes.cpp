#include "dsp/DSPFilterTypes.h"

#include "dsp/DSPBiquadFilters.h"
#include "dsp/DSPFilters1.h"
#include "dsp/DSPFilters2.h"

namespace {

template <class T>
std::unique_ptr<TDSPFilter> Make() {
  return std::make_unique<T>();
}

const TFilterTypeEntry kFilterTypes[kFilterTypeCount] = {
    /*  0 */ {"BW LP", Make<TButterworthFilter1LP>},
    /*  1 */ {"BW HP", Make<TButterworthFilter1HP>},
    /*  2 */ {"BW LP2", Make<TButterworthFilter2LP>},
    /*  3 */ {"BW HP2", Make<TButterworthFilter2HP>},
    /*  4 */ {"BW BP2", Make<TButterworthFilter2BP>},
    /*  5 */ {"BW BR2", Make<TButterworthFilter2BR>},
    /*  6 */ {"12DB LP", Make<TDSPOnePoleFilterLP>},
    /*  7 */ {"24DB LP", Make<T24DBResonantLPFilter1>},
    /*  8 */ {"24DB LP2", Make<T24DBResonantFilter3>},
    /*  9 */ {"24DB LP3", Make<T24DBResonantFilter2LP>},
    /* 10 */ {"24DB HP", Make<T24DBResonantFilter2HP>},
    /* 11 */ {"24DB BP", Make<T24DBResonantFilter2BP>},
    /* 12 */ {"LP1", Make<TXResonantFilter1>},
    /* 13 */ {"SVF LP", Make<TStateVariableFilter1LP>},
    /* 14 */ {"SVF HP", Make<TStateVariableFilter1HP>},
    /* 15 */ {"SVF BP", Make<TStateVariableFilter1BP>},
    /* 16 */ {"SVF NOTCH", Make<TStateVariableFilter1NOTCH>},
    /* 17 */ {"PEAKING", Make<TStateVariableFilter1PEAKING>},
    /* 18 */ {"IIR NOTCH", Make<TIIRNotchFilter1>},
    /* 19 */ {"RES", Make<TResonatorFilter2>},
    /* 20 */ {"RBJ LP", Make<TRBJFilterLP>},
    /* 21 */ {"RBJ HP", Make<TRBJFilterHP>},
    /* 22 */ {"RBJ BPFS", Make<TRBJFilterBPFS>},
    /* 23 */ {"RBJ BPFP", Make<TRBJFilterBPFP>},
    /* 24 */ {"RBJ NOTCH", Make<TRBJFilterNotch>},
    /* 25 */ {"RBJ APF", Make<TRBJFilterAPF>},
    /* 26 */ {"PEAK-EQ", Make<TRBJFilterPeakIngEQ>},
    /* 27 */ {"LOWSHELF", Make<TRBJFilterLowShelf>},
    /* 28 */ {"HIGHSHELF", Make<TRBJFilterHighShelf>},
    /* 29 */ {"Bandpass", Make<TCFilterXBP>},
    /* 30 */ {"Phaser", Make<TCFilterXPhaser>},
    /* 31 */ {"4PoleEQ1", Make<TBiquadFilter14PoleEQ1>},
    /* 32 */ {"4PoleEQ2", Make<TBiquadFilter14PoleEQ2>},
    /* 33 */ {"4PoleLP", Make<TBiquadFilter14PoleLP>},
    /* 34 */ {"Vocal1", Make<TBiquadFilter1Vocal1>},
    /* 35 */ {"Vocal2", Make<TBiquadFilter1Vocal2>},
    /* 36 */ {"RND1", Make<TPinkNoiseFilter>},
    /* 37 */ {"RND2", Make<TPinkNoiseFilter>},
};

}  // namespace

const TFilterTypeEntry& FilterTypeEntry(int index) {
  return (index >= 0 && index < kFilterTypeCount) ? kFilterTypes[index] : kFilterTypes[0];
}
