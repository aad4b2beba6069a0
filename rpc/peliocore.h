#pragma once
// The core of pelio in one include: values (Variant, SafeArray), the marshalling buffer
// (TosDataBuffer), the exception classes and the framed transport (TosTransport) with the message
// kinds. The client (pelioclient.h), the server (pelioserver.h) and the remote operation
// declarations (remote.h) build on it.

#include "rpc/databuffer.h"
#include "rpc/exceptions.h"
#include "rpc/transport.h"
#include "rpc/variant.h"
