# Sourced by the bench scripts. cpu_ns prints the CPU time a process has had so far, in
# nanoseconds, summed over its threads from the scheduler's own account: ten seconds of a
# player at one per cent of a core are 100 ms, which clock ticks would count in tens.
# share prints a difference of two such readings as per cent of one core over seconds. A
# process's children (the player's media reader) count with it, in both.
family() { echo "$1"; cat /proc/"$1"/task/*/children 2>/dev/null; }
cpu_ns() {
    for pid in $(family "$1"); do cat /proc/"$pid"/task/*/schedstat 2>/dev/null; done |
        awk '{n += $1} END {printf "%d\n", n}'
}
share() { awk -v t="$1" -v s="$2" 'BEGIN {print 100 * t / 1e9 / s}'; }
