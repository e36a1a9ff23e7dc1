"""Quorvex's real window driven from outside the process, through its
accessibility interface: the driver (drive), the window by the names a user
sees (quorvexwindow) and what the window must show for a document
(scanmodel). Scripts run under testsupport/run-under-xvfb, which puts this
package on their PYTHONPATH."""
