// The stand-in for Quartus's libjtag_client.so: empty. The relay library names it as a dependency
// without a folder, as Quartus's libjtag_atlantic.so does, so the relay loads only when the caller
// has loaded this one first.
