"""Limits on a child run that hold on a busy machine.

A run is bounded by the CPU time it uses, which other processes cannot use
up for it, however loaded the cores are. The wall-clock bound is only a
backstop for a run that blocks without using CPU, far beyond what any run
needs even when it gets a small share of a core.
"""

import resource
import signal

CPU_SECONDS = 300
BACKSTOP_SECONDS = 3600


def limit_cpu():
    """For preexec_fn: the child gets SIGXCPU after CPU_SECONDS."""
    resource.setrlimit(resource.RLIMIT_CPU, (CPU_SECONDS, CPU_SECONDS + 10))


def describe_status(status):
    """A note when `status` says the CPU limit ended the run, else ""."""
    if status in (-signal.SIGXCPU, -signal.SIGKILL):
        return " (a CPU limit of %d s ends each run)" % CPU_SECONDS
    return ""
