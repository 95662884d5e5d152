#pragma once

#include <string>

#include <arv.h>

#include "ClpHost.h"

// An Aravis device whose memory is the CLProtocol library's register space: Aravis's GenApi
// engine (ArvGc) over the library's description reads and writes features through
// clpReadRegister and clpWriteRegister, continuing pending writes as a GenTL producer does.
G_BEGIN_DECLS
#define QN_TYPE_CLP_DEVICE (qn_clp_device_get_type())
G_DECLARE_FINAL_TYPE(QnClpDevice, qn_clp_device, QN, CLP_DEVICE, ArvDevice)
G_END_DECLS

// The device over a probed connection; the rig must outlive it. Its description is the one the
// library hands out for its XML id.
QnClpDevice *qn_clp_device_new(ClpRig &rig, CLUINT32 cookie);
// How many times a write came back pending and was continued.
int qn_clp_device_pending_continues(QnClpDevice *device);
