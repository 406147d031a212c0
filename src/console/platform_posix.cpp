// Placeholder: the POSIX platform is being written.
