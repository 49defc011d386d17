select * from ccard where status >= 3 order by ticket
