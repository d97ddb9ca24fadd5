// Decoding the memory image held by the session into its data set.
#pragma once

namespace kts {

struct Session;

// Decodes s.image into s.data and appends the derived channels.
//
// The logger the data came from (identity, description, coefficients) is
// taken from the session and kept with the data set (DataSet::context).
// With fromFile = false (a fresh retrieval) the start time, sampling period
// and sampling mode come from the deployment parameters and, for loggers
// without capability words, the image header settings are decoded into the
// deployment parameters first: from the parameter block read from the logger
// when one is connected, else from the image's own header, which holds the
// same block. The caller brings the description up to date beforehand (the
// capabilities and the configuration of the logger just read). With
// fromFile = true the `.hex` reader has already set the start time, period
// and sampling mode of s.data.
// Returns 1; the empty image gives an empty data set.
int DecodeImage(Session& s, bool fromFile);

// Decodes the same image again with the logger, start time and period kept
// with the data set, in raw counts (value = word / 2^24) or in engineering
// units. Returns 0 when there is no image.
int RedecodeImage(Session& s, bool rawCounts);

}  // namespace kts
